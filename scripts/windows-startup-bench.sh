#!/usr/bin/env bash
# Compares the Windows game's start-up under Wine with an empty Win32 window of the same size and
# manifest, both measured in the same run: the medians of the CPU time until the window is on the
# X screen and of the peak memory.
# The game is also measured without Common Controls 6 in its manifest, which shows what loading
# that library costs on its own.
#
#   scripts/windows-startup-bench.sh [BUILD_DIR] [ROUNDS]     (build/windows and 10 by default)
#
# Needs the Windows build with its bench programs (scripts/test.sh windows, or the README's
# Windows command). Each round starts each program once, in turn, on a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
rounds=${2:-10}
game=$build/win32/vir-urad-izuva.exe
empty=$build/win32/empty_window.exe
classic=$build/win32/game_classic_controls.exe
[ -f "$game" ] && [ -f "$empty" ] && [ -f "$classic" ] || { echo "build $build first" >&2; exit 2; }

work=$(mktemp -d)
export WINEPREFIX=$PWD/$build/wine-prefix-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# The prefix is made once; its server stays up, so no round pays for starting it.
win32/tests/wine_run.sh cmd /c exit >/dev/null 2>&1 || true
wineserver -w
wineserver -p
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$work/display" &
xvfb=$!
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

# Starts one program, waits until its window is mapped, then prints its CPU time in
# milliseconds and its peak resident memory in KiB.
measure() {
    local exe=$1 title=$2
    wine "$exe" &
    local pid=$!
    timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null
    local ticks hwm
    ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$((ticks * 1000 / $(getconf CLK_TCK))) $hwm"
}

measure "$empty" "Empty window" >/dev/null # one start to warm the file cache
for ((i = 0; i < rounds; i++)); do
    echo "empty $(measure "$empty" "Empty window")"
    echo "game $(measure "$game" "Vir Urad Izuva\\?")"
    echo "classic $(measure "$classic" "Vir Urad Izuva\\?")"
done >"$work/runs"

# The middle value of a column of numbers, or the mean of the middle two: one round slowed by
# the shared machine moves a median less than a mean.
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
summary=()
for kind in empty game classic; do
    summary+=("$kind" "$(awk -v kind="$kind" '$1 == kind { print $2 }' "$work/runs" | median)"
              "$(awk -v kind="$kind" '$1 == kind { print $3 }' "$work/runs" | median)")
done

printf '%s %s %s\n' "${summary[@]}" | awk -v rounds="$rounds" '
    { cpu[$1] = $2; mem[$1] = $3 }
    function against_empty(kind, what) {
        printf "%-36s %5.0f ms CPU (%.2fx)  %5.1f MiB peak (%+.2f MiB)\n", what,
            cpu[kind], (cpu["empty"] > 0 ? cpu[kind] / cpu["empty"] : 0),
            mem[kind] / 1024, (mem[kind] - mem["empty"]) / 1024
    }
    END {
        printf "start-up, medians of %d rounds:\n", rounds
        against_empty("empty", "empty window")
        against_empty("game", "game")
        against_empty("classic", "game without Common Controls 6")
    }'
printf 'exe size: %d bytes\n' "$(stat -c %s "$game")"
