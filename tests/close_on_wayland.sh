#!/usr/bin/env bash
# Closes the game natively on a Wayland compositor run after run; every run must end as a game
# closed by its player ends, with status 0.
#
#   tests/with_weston.sh tests/close_on_wayland.sh PROGRAM [RUNS]
set -euo pipefail
program=$1
runs=${2:-100}
failed=0
for ((run = 0; run < runs; run++)); do
    status=0
    output=$(env QT_QPA_PLATFORM=wayland "$program" "$run" 2>&1) || status=$?
    if [ "$status" -ne 0 ]; then
        echo "run $run ended with status $status:"
        echo "$output"
        failed=$((failed + 1))
    fi
done
echo "$((runs - failed)) of $runs closings ended cleanly"
[ "$failed" -eq 0 ]
