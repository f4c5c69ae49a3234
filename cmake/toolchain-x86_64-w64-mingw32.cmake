# 64-bit Windows: the test vehicle where the machine runs no 32-bit programs, and proof that the
# code is clean for both pointer sizes.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-gcc.cmake)
