#!/usr/bin/env bash
# Sets up this machine, builds the game for every platform with its tests, and runs the whole suite.
#
#   scripts/test.sh [linux] [windows] [web] [reproducible]        (all four when none is named)
#
# reproducible builds the Windows downloads and the page twice, as two builders would, and
# checks that every file comes out the same byte for byte (scripts/reproducible.sh).
# Each platform builds into its own folder under build/ and runs its tests through CTest; the
# summary at the end says how each went, and the exit status is 0 only if all passed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

platforms=("$@")
[ ${#platforms[@]} -gt 0 ] || platforms=(linux windows web reproducible)
packages=()
for platform in "${platforms[@]}"; do
    case $platform in
    linux) packages+=("${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
    windows) packages+=("${WINDOWS_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}") ;;
    web) packages+=("${WEB_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}") ;;
    reproducible) packages+=("${WINDOWS_PACKAGES[@]}" "${WEB_PACKAGES[@]}") ;;
    *)
        echo "usage: scripts/test.sh [linux] [windows] [web] [reproducible]" >&2
        exit 2
        ;;
    esac
done
scripts/install-deps.sh "${packages[@]}"

# Configures, builds and tests one platform in build/NAME: test_in NAME [CMAKE OPTION ...]
# The tests are asked for whatever the folder's cache says, as the README's build commands leave
# them out of the same folders; a platform that runs no test has failed.
test_in()
{
    local dir=build/$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "$@" &&
        cmake --build "$dir" --parallel "$(nproc)" &&
        (cd "$dir" && ctest --output-on-failure --no-tests=error --parallel "$(nproc)")
}

results=()
failed=0
for platform in "${platforms[@]}"; do
    echo "=== $platform"
    status=0
    case $platform in
    linux) test_in test -DBUILD_BENCHMARKS=ON || status=$? ;;
    windows) test_in windows -DBUILD_BENCHMARKS=ON --toolchain cmake/mingw-w64-x86_64.cmake || status=$? ;;
    web) scripts/web-setup.sh && test_in web --toolchain cmake/emscripten.cmake || status=$? ;;
    reproducible) scripts/reproducible.sh windows web || status=$? ;;
    esac
    if [ "$status" -eq 0 ]; then results+=("$platform: passed"); else results+=("$platform: FAILED"); failed=1; fi
done
echo "=== summary"
printf '  %s\n' "${results[@]}"
exit "$failed"
