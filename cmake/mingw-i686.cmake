# Cross-compiling for 32-bit Windows with MinGW-w64. The setup program uses
# the win32 thread model (it must start on Windows XP); the unit-test runner
# needs the posix model for GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT LUMIDOR_THREAD_MODEL)
  set(LUMIDOR_THREAD_MODEL win32)
endif()
set(LUMIDOR_THREAD_MODEL ${LUMIDOR_THREAD_MODEL} CACHE STRING "MinGW-w64 thread model: win32 or posix")

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${LUMIDOR_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${LUMIDOR_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
