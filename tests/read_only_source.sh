#!/usr/bin/env bash
# Builds and installs the game from a copy of its source that may not be written to, as a
# read-only checkout or a distribution's build gives it: the build writes only into its own
# folder, so the configure, build and install all succeed. A build folder asked for inside the
# read-only source stops the configure with the reason and leaves nothing behind.
#
#   read_only_source.sh SOURCE_TREE
#
# Root may write anywhere, but not to a read-only mount: as root the test runs in a mount
# namespace of its own, where the copy is mounted read-only.
set -euo pipefail
source_tree=$1

if [ "$(id -u)" = 0 ] && [ -z "${READ_ONLY_SOURCE_MOUNTED:-}" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # A chroot's root is no mount point, so no mount of its own can be kept from it there.
    if ! unshare --mount --propagation private true 2>/dev/null; then
        echo "skipped: no private mount namespace here to mount the source read-only in"
        exit 77
    fi
    status=0
    READ_ONLY_SOURCE_MOUNTED=$work unshare --mount --propagation private "$0" "$@" || status=$?
    exit "$status"
fi

work=${READ_ONLY_SOURCE_MOUNTED:-$(mktemp -d)}
[ -n "${READ_ONLY_SOURCE_MOUNTED:-}" ] || trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/source" "$work/build" "$work/stage"
git -C "$source_tree" ls-files -z | tar -C "$source_tree" --null -T - -cf - | tar -C "$work/source" -xf -
if [ -n "${READ_ONLY_SOURCE_MOUNTED:-}" ]; then
    mount --bind "$work/source" "$work/source"
    mount -o remount,bind,ro "$work/source"
else
    chmod -R a-w "$work/source"
fi
touch "$work/source/CMakeLists.txt" 2>/dev/null && { echo "FAILED: the copy is writable"; exit 1; }

build() {
    env -C "$work" SOURCE_DATE_EPOCH=1700000000 "$@"
}

build cmake -S source -B build -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >"$work/log" 2>&1 ||
    { cat "$work/log"; echo "FAILED: the configure of a read-only source"; exit 1; }
build cmake --build build -j2 >>"$work/log" 2>&1 ||
    { cat "$work/log"; echo "FAILED: the build of a read-only source"; exit 1; }
build env DESTDIR="$work/stage" cmake --install build --prefix /usr >>"$work/log" 2>&1 ||
    { cat "$work/log"; echo "FAILED: the install from a read-only source"; exit 1; }
test -x "$work/stage/usr/games/vir-urad-izuva" ||
    { echo "FAILED: no game installed from the read-only source"; exit 1; }
echo "built and installed from a read-only source"

if build cmake -S source -B source/build >"$work/log" 2>&1; then
    cat "$work/log"
    echo "FAILED: a build folder inside the read-only source was taken"
    exit 1
fi
grep -q "source/build" "$work/log" ||
    { cat "$work/log"; echo "FAILED: the configure stopped without naming the folder"; exit 1; }
if [ -e "$work/source/build" ]; then
    echo "FAILED: a build folder was left in the read-only source"
    exit 1
fi
echo "a build folder inside the read-only source stopped, saying so:"
grep -A1 -m1 "Error" "$work/log" || true
