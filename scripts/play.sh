#!/usr/bin/env bash
# Sets up this machine, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF
cmake --build build/release --parallel "$(nproc)"
exec build/release/app/vir-urad-izuva
