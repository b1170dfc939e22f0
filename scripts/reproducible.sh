#!/usr/bin/env bash
# Builds every file a Windows or web player downloads twice from this tree, as two builders
# would: in folders of different names, one after the other, under other time zones, umasks and
# locales. Every file must come out the same byte for byte.
#
#   scripts/reproducible.sh [windows] [web]        (both when none is named)
#
# Both builds take the time of the last commit for the files that carry one, as a build of a
# checkout does; the tree's uncommitted changes are built too.
set -euo pipefail
cd "$(dirname "$0")/.."
platforms=("$@")
[ ${#platforms[@]} -gt 0 ] || platforms=(windows web)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

# build FOLDER TZ UMASK LOCALE: copies the tree to FOLDER and builds there.
build()
{
    local tree=$1
    mkdir -p "$tree"
    git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$tree"
    (
        cd "$tree"
        umask "$3"
        export TZ=$2 LANG=$4 LC_ALL=$4
        for platform in "${platforms[@]}"; do
            case $platform in
            windows) cmake -S . -B build/windows -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
                --toolchain cmake/mingw-w64-x86_64.cmake && cmake --build build/windows --parallel "$(nproc)" ;;
            web) cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
                --toolchain cmake/emscripten.cmake && cmake --build build/web --parallel "$(nproc)" ;;
            *) echo "usage: scripts/reproducible.sh [windows] [web]" >&2; exit 2 ;;
            esac
        done
    ) >"$tree.log" 2>&1 || { echo "the build in $tree failed:" >&2; tail -n 30 "$tree.log" >&2; exit 1; }
}

first=$work/first/vir-urad-izuva
second=$work/second-build/a-longer-folder-name
build "$first" UTC 022 C.UTF-8
# A later second, and another day's date in the builder's own zone.
sleep 2
build "$second" Pacific/Kiritimati 077 de_DE.UTF-8

files=()
for platform in "${platforms[@]}"; do
    case $platform in
    windows) files+=(build/windows/win32/vir-urad-izuva.exe build/windows/vir-urad-izuva-*-windows-x64.zip
        build/windows/vir-urad-izuva-*-windows-x64-setup.exe) ;;
    web) while IFS= read -r file; do files+=("$file"); done < <(cd "$first" && find build/web/site -type f | sort) ;;
    esac
done
failed=0
for pattern in "${files[@]}"; do
    # shellcheck disable=SC2086 # the version in a download's name is matched
    file=$(cd "$first" && ls -d $pattern)
    if [ ! -f "$second/$file" ]; then
        echo "only the first build made $file"
        failed=1
    elif cmp -s "$first/$file" "$second/$file"; then
        echo "same: $(cd "$first" && sha256sum "$file")"
    else
        echo "DIFFERENT: $file"
        failed=1
    fi
done
# Neither build may make a download the other lacks.
for platform in "${platforms[@]}"; do
    [ "$platform" = web ] || continue
    if ! diff <(cd "$first" && find build/web/site -type f | sort) <(cd "$second" && find build/web/site -type f | sort); then
        echo "the two builds made different files"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "all ${#files[@]} files are the same byte for byte"
exit "$failed"
