# Compiler and linker hardening for every program of the game, as Debian builds its own packages.
include(CheckPIESupported)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# Without this check CMake compiles position-independent code but links without -pie.
check_pie_supported(LANGUAGES CXX)

# Stack clash and control-flow protection exist only on some targets (-fcf-protection is x86);
# elsewhere the game builds without them rather than not at all.
# mingw-w64's GCC 12 accepts stack clash protection but fails inside the compiler on some
# functions' Windows unwind data, so Windows builds leave it out.
set(hardening_flags -fstack-protector-strong -fstack-clash-protection -fcf-protection)
if(WIN32)
  list(REMOVE_ITEM hardening_flags -fstack-clash-protection)
endif()
# A flag counts only if a program that it changes builds with it and no warning: Emscripten's
# clang takes stack clash protection and merely warns that WebAssembly cannot use it, and a
# stack protector compiles everywhere but links only where the C library has its guard, which
# Debian's prebuilt Emscripten sysroot lacks. The local buffer that escapes is what the stack
# protector guards.
set(hardening_probe [[
#include <cstdio>
int main(int argc, char **)
{
    char line[32];
    std::snprintf(line, sizeof line, "%d", argc);
    return std::puts(line) < 0;
}
]])
foreach(flag ${hardening_flags})
  string(MAKE_C_IDENTIFIER "HARDENING${flag}" have_flag)
  # Given to the compiler and the linker alike.
  set(CMAKE_REQUIRED_FLAGS "${flag} -Werror")
  check_cxx_source_compiles("${hardening_probe}" ${have_flag})
  if(${have_flag})
    add_compile_options(${flag})
  endif()
endforeach()
unset(CMAKE_REQUIRED_FLAGS)
# On Windows the stack guard (and the fortified calls) live in libssp, which GCC links only when
# the flag is also given to the linker.
if(WIN32 AND HARDENING_fstack_protector_strong)
  add_link_options(-fstack-protector-strong)
endif()

check_linker_flag(CXX "LINKER:-z,relro,-z,now" HAVE_RELRO_NOW)
if(HAVE_RELRO_NOW)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# glibc's fortified calls need the optimiser, and warn (an error under -Werror) without it. A
# sanitizer build leaves them out because they would check the same calls the sanitizer
# instruments, and a caller's own _FORTIFY_SOURCE level is left alone rather than redefined.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize|_FORTIFY_SOURCE")
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
