# The second compiler: Debian's clang targeting 32-bit MinGW-w64, with MinGW's headers, libraries
# and linker. Debian names its GCC runtime folders "12-posix" and "12-win32", which clang does
# not recognise as versions, so the posix runtime is pointed at here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

file(GLOB _vorthal_gcc_runtime LIST_DIRECTORIES true /usr/lib/gcc/i686-w64-mingw32/*-posix)
list(SORT _vorthal_gcc_runtime COMPARE NATURAL ORDER DESCENDING)
list(GET _vorthal_gcc_runtime 0 _vorthal_gcc_runtime)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${_vorthal_gcc_runtime}/include/c++ -isystem ${_vorthal_gcc_runtime}/include/c++/i686-w64-mingw32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${_vorthal_gcc_runtime}")
# Statically linked, libstdc++ and the unwinder need winpthread after them, which the clang
# driver does not add; naming all three here puts them in the order the linker needs.
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT} -nostdlib++")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lstdc++ -lgcc_eh -lpthread")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
