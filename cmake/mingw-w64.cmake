# Cross-building for 64-bit Windows with mingw-w64 (Debian: mingw-w64):
#   cmake -S . -B build-win --toolchain cmake/mingw-w64.cmake -DDOPPLET_BUILD_GUI=OFF
# The "posix" flavour of the compiler has std::thread and std::mutex, which the search needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test discovery and the tests run the programs through wine.
find_program(DOPPLET_WINE NAMES wine64 wine)
if(DOPPLET_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${DOPPLET_WINE})
endif()
