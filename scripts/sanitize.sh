#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it.
#
# A debug build: an optimised one folds constants into the code that reads them, which hides two
# different objects of one name of which the linker keeps only one; unoptimised, every reader
# reads the one kept, and what the game then draws wrong fails its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DBUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
cmake --build build/sanitize --parallel "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:suppressions=$PWD/scripts/asan-suppressions.txt
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd build/sanitize
ctest --output-on-failure --no-tests=error --parallel "$(nproc)"
