# Cross-builds the game for 64-bit Windows with Debian's mingw-w64 compiler; the tests run the
# Windows programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model's runtime lacks.
# The game starts no thread; linked statically, it still imports only Windows' own DLLs.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test program runs in one Wine prefix made under the build folder on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../win32/tests/wine_run.sh)

# Every program carries its C and C++ runtime (and the POSIX thread library) inside, so it runs
# with nothing but Windows' own DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
