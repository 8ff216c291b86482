# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX thread model, which Qt 6 needs).
# Used by the dependencies' builds and by the program's own: cmake -DCMAKE_TOOLCHAIN_FILE=<this>.
# The cross-built dependencies stand in TIDEWAKE_WINDOWS_PREFIX (from the environment, so that
# CMake's own test projects see it too).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TIDEWAKE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TIDEWAKE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIDEWAKE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TIDEWAKE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TIDEWAKE_MINGW})
if(DEFINED ENV{TIDEWAKE_WINDOWS_PREFIX})
  list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{TIDEWAKE_WINDOWS_PREFIX})
endif()
# Programs run here come from this machine; libraries, headers and packages from the roots only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
