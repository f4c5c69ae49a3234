# Cross-build for Windows with Debian's MinGW-w64 GCC, for the processor that the including
# toolchain file sets. The posix thread-model drivers are needed: GoogleTest uses std::mutex,
# which the win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(_vorthal_triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${_vorthal_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_vorthal_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_vorthal_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_vorthal_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
