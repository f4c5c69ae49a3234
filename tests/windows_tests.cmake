# Windows test programs run under Wine, in a world of their own that a ctest fixture sets up:
# a virtual display, a prefix inside the build tree and one wineserver (support/wine-world).
# 32-bit programs run in a win32 prefix, 64-bit ones in a win64 prefix under wine64.
set(VORTHAL_WINE_WORLD ${CMAKE_BINARY_DIR}/wine-world)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VORTHAL_WINE_ARCH win64)
else()
  set(VORTHAL_WINE_ARCH win32)
endif()
# Each build tree takes a port of its own, so that two clones can be tested side by side; it lies
# below Linux's ephemeral ports (32768 on), which outgoing connections may hold at any moment.
string(MD5 tree_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${tree_hash}" 0 4 tree_hash)
math(EXPR tree_port "20000 + 0x${tree_hash} % 10000")
set(VORTHAL_TEST_PORTAL_PORT ${tree_port} CACHE STRING "Loopback port of the stand-in portal in end-to-end tests")
set(VORTHAL_TEST_PORTAL "http://127.0.0.1:${VORTHAL_TEST_PORTAL_PORT}")

add_test(NAME wine_world_start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/wine-world start ${VORTHAL_WINE_WORLD} ${VORTHAL_WINE_ARCH})
add_test(NAME wine_world_stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/wine-world stop ${VORTHAL_WINE_WORLD})
set_tests_properties(wine_world_start PROPERTIES FIXTURES_SETUP wine_world TIMEOUT 120)
set_tests_properties(wine_world_stop PROPERTIES FIXTURES_CLEANUP wine_world TIMEOUT 60)

# A second world, entirely separate, whose screen is smaller than the smallest display mode the
# launcher offers and narrower than the Options dialog.
set(VORTHAL_SMALL_WINE_WORLD ${CMAKE_BINARY_DIR}/wine-world-small)
set(VORTHAL_SMALL_SCREEN 256x192 CACHE STRING "Screen size of the small-screen Wine world")
add_test(NAME wine_world_small_start
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/wine-world start ${VORTHAL_SMALL_WINE_WORLD} ${VORTHAL_WINE_ARCH}
  ${VORTHAL_SMALL_SCREEN})
add_test(NAME wine_world_small_stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/wine-world stop ${VORTHAL_SMALL_WINE_WORLD})
set_tests_properties(wine_world_small_start PROPERTIES FIXTURES_SETUP wine_world_small TIMEOUT 120)
set_tests_properties(wine_world_small_stop PROPERTIES FIXTURES_CLEANUP wine_world_small TIMEOUT 60)

# Each world's own user of its desktop, so that tests do not start and end the desktop in turn.
add_executable(desktop_user WIN32 support/desktop_user.cpp)
vorthal_warnings(desktop_user)
vorthal_windows_program(desktop_user)
set_tests_properties(wine_world_start wine_world_small_start PROPERTIES
  ENVIRONMENT VORTHAL_WORLD_DESKTOP_USER=$<TARGET_FILE:desktop_user>)

# Paths under the build tree as a program inside Wine sees them.
function(vorthal_wine_path out unix_path)
  if(CMAKE_HOST_WIN32)
    set(${out} "${unix_path}" PARENT_SCOPE)
  else()
    set(${out} "Z:${unix_path}" PARENT_SCOPE)
  endif()
endfunction()

# The real launcher, built to talk to the stand-in portal on the loopback address, and the
# stand-in programs it starts.
vorthal_launcher(VorthalLoopback "${VORTHAL_TEST_PORTAL}")
set_target_properties(VorthalLoopback PROPERTIES OUTPUT_NAME Vorthal RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/loopback)
add_executable(standin WIN32 support/standin.cpp)
vorthal_warnings(standin)
vorthal_windows_program(standin)
# For scripts that drive the launcher from outside Wine, as scripts/run does for its pictures.
add_executable(post_command support/post_command.cpp)
vorthal_warnings(post_command)
vorthal_windows_program(post_command)

# A DLL to plant in a game folder under system DLLs' names: it records every process that
# loads it. It has no runtime and no entry point but its own, so it loads under any name.
add_library(dll_marker SHARED support/dll_marker.cpp)
set_target_properties(dll_marker PROPERTIES PREFIX "")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  target_link_options(dll_marker PRIVATE -nostdlib -Wl,--entry,markerEntry)
else()
  target_link_options(dll_marker PRIVATE -nostdlib -Wl,--entry,_markerEntry@12)
endif()
target_link_libraries(dll_marker PRIVATE kernel32)
vorthal_warnings(dll_marker)
vorthal_windows_program(dll_marker)

vorthal_wine_path(VORTHAL_WINE_LAUNCHER $<TARGET_FILE:VorthalLoopback>)
vorthal_wine_path(VORTHAL_WINE_DLL_MARKER $<TARGET_FILE:dll_marker>)
vorthal_wine_path(VORTHAL_WINE_STANDIN $<TARGET_FILE:standin>)
# The program that ships is the 32-bit one; a 64-bit build checks that file, not its own.
set(VORTHAL_SHIPPED_PROGRAM "" CACHE FILEPATH "Vorthal.exe as shipped, when another build makes it")
if(VORTHAL_SHIPPED_PROGRAM)
  vorthal_wine_path(VORTHAL_WINE_PRODUCT ${VORTHAL_SHIPPED_PROGRAM})
else()
  vorthal_wine_path(VORTHAL_WINE_PRODUCT $<TARGET_FILE:Vorthal>)
endif()
vorthal_wine_path(VORTHAL_WINE_BROWSER_LOG ${VORTHAL_WINE_WORLD}/browser.log)
vorthal_wine_path(VORTHAL_WINE_STDERR_LOG ${VORTHAL_WINE_WORLD}/wine-stderr.log)

add_library(vorthal_test_support STATIC support/launcher_process.cpp support/dialog_template.cpp support/modal_dialog.cpp)
target_include_directories(vorthal_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vorthal_test_support PUBLIC GTest::gtest vorthal_core shell32)
target_compile_definitions(vorthal_test_support PUBLIC
  "VORTHAL_TEST_LAUNCHER=\"${VORTHAL_WINE_LAUNCHER}\""
  "VORTHAL_TEST_STANDIN=\"${VORTHAL_WINE_STANDIN}\""
  "VORTHAL_TEST_PRODUCT=\"${VORTHAL_WINE_PRODUCT}\""
  "VORTHAL_TEST_BROWSER_LOG=\"${VORTHAL_WINE_BROWSER_LOG}\""
  "VORTHAL_TEST_STDERR_LOG=\"${VORTHAL_WINE_STDERR_LOG}\""
  "VORTHAL_TEST_DLL_MARKER=\"${VORTHAL_WINE_DLL_MARKER}\"")
add_dependencies(vorthal_test_support Vorthal VorthalLoopback standin dll_marker)
vorthal_warnings(vorthal_test_support)

# A GoogleTest program run under Wine in the given world; each of its tests is one ctest test.
# It holds the launcher's dialog templates unless NO_TEMPLATES is given.
function(vorthal_wine_test_in world fixture name)
  cmake_parse_arguments(PARSE_ARGV 3 arg "NO_TEMPLATES" "" "")
  set(sources ${arg_UNPARSED_ARGUMENTS})
  add_executable(${name} ${sources} $<TARGET_OBJECTS:VorthalLoopback_portal>)
  target_link_libraries(${name} PRIVATE vorthal_test_support GTest::gtest_main)
  if(NOT arg_NO_TEMPLATES)
    target_link_libraries(${name} PRIVATE vorthal_dialogs)
  endif()
  vorthal_warnings(${name})
  vorthal_windows_program(${name})
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/support/run-in-wine --test ${world})
  # Listed from the sources: listing by running the program would start Wine before its world.
  gtest_add_tests(TARGET ${name} SOURCES ${sources} TEST_LIST tests)
  set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED ${fixture} TIMEOUT 120
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  # The program's tests, as NAME_tests, for properties that only some programs need.
  set(${name}_tests ${tests} PARENT_SCOPE)
endfunction()

function(vorthal_wine_test name)
  vorthal_wine_test_in(${VORTHAL_WINE_WORLD} wine_world ${name} ${ARGN})
  set(${name}_tests ${${name}_tests} PARENT_SCOPE)
endfunction()

function(vorthal_small_screen_test name)
  vorthal_wine_test_in(${VORTHAL_SMALL_WINE_WORLD} wine_world_small ${name} ${ARGN})
  set(${name}_tests ${${name}_tests} PARENT_SCOPE)
endfunction()
