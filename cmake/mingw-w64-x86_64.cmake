# Cross-compiling the Windows program on Linux with mingw-w64. The posix thread model is
# needed: the win32 one has no std::mutex, and GoogleTest needs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine, the one on PATH. Only the tests need it: without it the programs,
# the help and the packages still build, and the tests that run Windows programs are skipped,
# each saying so (cmake/wine_test.cmake).
find_program(YG_WINE wine NO_CMAKE_SYSTEM_PATH)
if(YG_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${YG_WINE})
endif()
