# Cross build for 64-bit Windows with Debian's mingw-w64.
#
# The -posix variants are the ones with std::thread and std::mutex (the -win32 threading model of
# GCC 12 lacks them); the unsuffixed compiler names point at -win32 when both are installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(VELMORA_MINGW_SYSROOT /usr/${_triple})
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_AR ${_triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_triple}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the mingw sysroot (and from prefixes added to this list, such as
# the cross-built third-party libraries); programs are the build machine's.
list(APPEND CMAKE_FIND_ROOT_PATH ${VELMORA_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
unset(_triple)

# Doubles in SSE2 registers, as on Linux x86-64 (the default here too; stated so no x87 code is
# ever chosen for them).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
