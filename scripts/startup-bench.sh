#!/usr/bin/env bash
# Compares the game's start-up CPU time and peak memory with those of an empty window of its size.
#
#   scripts/startup-bench.sh [BUILD_DIR]        (default build/test, which scripts/test.sh builds)
#
# BUILD_DIR must hold a Release build with the benchmark programs, as scripts/test.sh makes.
#
# Both programs run in turn, ROUNDS times each (default 10), under one private X server, each for
# its first RUN_SECONDS (default 1.5) and then stopped with SIGTERM. The machine is shared and
# noisy, so only the medians and their ratio are worth comparing, never a single figure.
set -euo pipefail
export LC_ALL=C

cd "$(dirname "$0")/.."
build_dir=${1:-build/test}
rounds=${ROUNDS:-10}
run_seconds=${RUN_SECONDS:-1.5}
game=$build_dir/app/vir-urad-izuva
empty=$build_dir/bench/empty_window

# The goal: the game may cost at most this much more than an empty window.
max_cpu_ratio=1.3
max_extra_rss_mib=3

if [ -z "${STARTUP_BENCH_INSIDE:-}" ]; then
    for program in "$game" "$empty"; do
        if [ ! -x "$program" ]; then
            source scripts/packages.sh
            echo "$program is missing; build it first, from $PWD:" >&2
            echo "  scripts/install-deps.sh ${BUILD_PACKAGES[*]} libbenchmark-dev" >&2
            echo "  cmake -S . -B $build_dir -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=ON" >&2
            echo "  cmake --build $build_dir --target vir-urad-izuva empty_window" >&2
            exit 1
        fi
    done
    scripts/install-deps.sh time xvfb xauth
    # One X server for every run, so both programs meet the same server in the same state.
    STARTUP_BENCH_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$0" "$build_dir"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt warns on every start without a runtime directory; give both programs the same quiet one.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
mkfifo "$work/never"

# Runs one program for run_seconds and prints "<cpu ms> <peak rss KiB>".
#
# GNU time measures a small shell that starts the program, stops it, and waits for it, so the
# peak RSS it reports is the program's own (the shell's is far smaller). GNU time gives CPU
# time only in hundredths of a second and would add its own start-up to it, so the shell
# reports its children's CPU time instead, in milliseconds: the program's and nothing else.
measure()
{
    local program=$1
    local -a cpu
    # The shell waits on a pipe nobody writes to: a `sleep` would be a child counted with it.
    # shellcheck disable=SC2016 # the inner shell expands its own arguments
    /usr/bin/time -q -f '%M' -o "$work/rss" bash -c '
        "$1" 2>>"$2" &
        pid=$!
        read -t "$3" <>"$4" || true
        kill -TERM "$pid"
        status=0
        wait "$pid" || status=$?
        # 143 is death by SIGTERM: the program was still running when its time was up.
        if [ "$status" -ne 143 ]; then
            echo failed
        else
            times
        fi' measured "$program" "$work/stderr.log" "$run_seconds" "$work/never" >"$work/times"
    mapfile -t cpu <"$work/times"
    if [ "${cpu[0]}" = failed ]; then
        echo "$program did not keep running for $run_seconds s; its messages:" >&2
        cat "$work/stderr.log" >&2
        exit 1
    fi
    # The second line of `times` is the children's "user system", as in "0m0.051s 0m0.039s".
    echo "${cpu[1]}" | awk -v rss="$(cat "$work/rss")" '{
        split($1, u, /[ms]/); split($2, s, /[ms]/)
        printf "%d %d\n", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1000 + 0.5, rss
    }'
}

median()
{
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One unrecorded run of each first, so that neither pays alone for cold file and font caches.
measure "$game" >/dev/null
measure "$empty" >/dev/null

echo "round  program       cpu ms  peak RSS KiB"
: >"$work/game" && : >"$work/empty"
for ((round = 1; round <= rounds; round++)); do
    # Which one goes first alternates, so a drift in machine load falls on both alike.
    if ((round % 2)); then order=(game empty); else order=(empty game); fi
    for name in "${order[@]}"; do
        if [ "$name" = game ]; then program=$game; else program=$empty; fi
        result=$(measure "$program")
        echo "$result" >>"$work/$name"
        read -r cpu_ms rss_kib <<<"$result"
        printf '%5d  %-12s %7d  %12d\n' "$round" "$name" "$cpu_ms" "$rss_kib"
    done
done

game_cpu=$(cut -d' ' -f1 "$work/game" | median)
empty_cpu=$(cut -d' ' -f1 "$work/empty" | median)
game_rss=$(cut -d' ' -f2 "$work/game" | median)
empty_rss=$(cut -d' ' -f2 "$work/empty" | median)

echo
echo "medians over $rounds runs of ${run_seconds} s each:"
printf '  game          %7.1f ms CPU  %7.2f MiB peak RSS\n' "$game_cpu" "$(echo "$game_rss" | awk '{ print $1 / 1024 }')"
printf '  empty window  %7.1f ms CPU  %7.2f MiB peak RSS\n' "$empty_cpu" "$(echo "$empty_rss" | awk '{ print $1 / 1024 }')"
awk -v gc="$game_cpu" -v ec="$empty_cpu" -v gr="$game_rss" -v er="$empty_rss" \
    -v maxr="$max_cpu_ratio" -v maxm="$max_extra_rss_mib" 'BEGIN {
    ratio = gc / ec
    extra = (gr - er) / 1024
    printf "game CPU / empty CPU:            %.2f  (goal at most %s): %s\n", ratio, maxr,
        ratio <= maxr ? "met" : "missed"
    printf "game peak RSS - empty peak RSS:  %.2f MiB  (goal at most %s MiB): %s\n", extra, maxm,
        extra <= maxm ? "met" : "missed"
}'
