#!/usr/bin/env bash
# Sets up this machine, builds the game with its tests, and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release
cmake --build build/test --parallel "$(nproc)"
cd build/test
ctest --output-on-failure --parallel "$(nproc)"
