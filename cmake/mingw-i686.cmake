# Cross build for 32-bit Windows with Debian's mingw-w64 i686 compiler
# (packages g++-mingw-w64-i686 and binutils-mingw-w64-i686):
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(BRANTEL_MINGW_PREFIX i686-w64-mingw32)
# The posix thread model: the win32 one of g++ 12 has no std::mutex, which
# GoogleTest needs. The GNU runtime DLLs (libstdc++-6, libgcc_s_dw2-1) then
# need libwinpthread-1.dll beside them.
set(CMAKE_C_COMPILER ${BRANTEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRANTEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BRANTEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRANTEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles rounded as doubles, as on the 64-bit build: x87 arithmetic keeps
# intermediates in extended precision, so grids and streams would differ in
# their last bits.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
