# Builds the game for the browser with Debian's Emscripten. What the build needs beyond Debian's
# own toolchain file is set up in the top-level CMakeLists.txt, so that emcmake builds alike.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
