#!/usr/bin/env bash
# Runs a test apart from the desktop session it was started from: none of the person's display,
# compositor, session bus, locale, Qt, GTK or font settings reach it, and it gets a home and a
# runtime directory of its own, removed when it ends.
#
#   tests/clean_session.sh [NAME=VALUE ...] COMMAND [ARG ...]
#
# Only PATH, TMPDIR and the sanitizers' options come through from outside; the NAME=VALUE pairs
# are the test's own settings. The fonts are the captions' stand-ins alone, so a desktop with
# other fonts installed, or rules of its own for them, draws the same pixels.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

session=$(mktemp -d)
trap 'rm -rf "$session"' EXIT
mkdir -m 700 "$session/runtime"

inherited=()
for name in PATH TMPDIR ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    if [ -n "${!name+set}" ]; then
        inherited+=("$name=${!name}")
    fi
done

status=0
env -i "${inherited[@]}" HOME="$session" XDG_RUNTIME_DIR="$session/runtime" LANG=C.UTF-8 \
    FONTCONFIG_FILE="$here/fonts.conf" "$@" || status=$?
exit "$status"
