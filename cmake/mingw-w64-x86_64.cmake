# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# needed for std::thread in nvpack.exe).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NV_MINGW_PREFIX x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${NV_MINGW_PREFIX}-gcc-posix ${NV_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${NV_MINGW_PREFIX}-g++-posix ${NV_MINGW_PREFIX}-g++ REQUIRED)
# The same GCC with the win32 thread model's run-time, for linking single-threaded programs
# without winpthread (see app/installer). Same compiler version, so the objects compiled by the
# posix driver link with it, link-time optimisation included.
find_program(NV_WIN32_THREADS_CXX NAMES ${NV_MINGW_PREFIX}-g++-win32)
find_program(CMAKE_RC_COMPILER NAMES ${NV_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${NV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
