# Builds the game for the browser with Debian's Emscripten.

# The tests' programs run under Node, whose built-in fetch Emscripten's start-up code trips over.
# Set before Debian's toolchain file, which otherwise picks plain node.
find_program(NODE_JS_EXECUTABLE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NODE_JS_EXECUTABLE} --no-experimental-fetch
    CACHE STRING "Runs the WebAssembly test programs")

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Debian's emcc runs its JavaScript tools under whichever node comes first on PATH; one that is not
# Debian's own does not look in /usr/share/nodejs, where those tools' modules are installed.
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# WebAssembly has no stack pages to probe: clang takes the flag and then warns that it is unused,
# which the hardening's check cannot tell from success. The stack protector's guard is missing
# from Debian's prebuilt sysroot, so programs built with it do not link.
set(HAVE_fstack_clash_protection OFF CACHE BOOL "No stack clash protection in WebAssembly")
set(HAVE_fstack_protector_strong OFF CACHE BOOL "No stack protector guard in the sysroot")
