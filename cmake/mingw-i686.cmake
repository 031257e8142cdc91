# Cross-compile for Windows (i686) with Debian's MinGW-w64 toolchain.
# The -posix variants provide std::thread/std::mutex (winpthreads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TALLIVO_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLIVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLIVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLIVO_MINGW_TRIPLE}-windres)

# Look for libraries and headers only in the MinGW sysroot, never in the
# host's /usr, but run build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TALLIVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
