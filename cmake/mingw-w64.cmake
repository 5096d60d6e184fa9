# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, which std::thread and std::mutex need):
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ...
#
# Test programs run under wine64 (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(VK_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VK_WINE64})
endif()

# The programs carry the compiler's runtime (libstdc++, libgcc, winpthread)
# inside, so they run from any folder without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The same for zlib (the tests' reference CRC-32): its static archive, not the
# import library of a DLL that no test folder holds.
set(ZLIB_USE_STATIC_LIBS ON)
