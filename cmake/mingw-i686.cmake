# Cross build for 32-bit Windows with Debian's mingw-w64 i686 compiler
# (packages g++-mingw-w64-i686 and binutils-mingw-w64-i686):
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(BRANTEL_MINGW_PREFIX i686-w64-mingw32)
# The win32 thread model: the DLLs then need no winpthread beside them.
set(CMAKE_C_COMPILER ${BRANTEL_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${BRANTEL_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${BRANTEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRANTEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
