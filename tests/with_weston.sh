#!/usr/bin/env bash
# Runs a command as a client of a private headless Weston compositor, with no X display.
#
#   tests/with_weston.sh COMMAND [ARG ...]
#
# The command finds the compositor through WAYLAND_DISPLAY and XDG_RUNTIME_DIR; its exit status
# is the script's. The compositor's own log is shown if the command fails.
set -euo pipefail

runtime=$(mktemp -d)
chmod 700 "$runtime"
socket=wayland-test
weston_pid=
stop()
{
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap stop EXIT

# These options mean the same to Weston 10 (Debian 12) and Weston 14 (Debian 13).
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --idle-time=0 \
    --no-config --socket="$socket" >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for ((tries = 0; tries < 100; tries++)); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        echo "Weston did not start:" >&2
        cat "$runtime/weston.log" >&2
        exit 1
    fi
    sleep 0.1
done
[ -S "$runtime/$socket" ] || { echo "Weston opened no socket in 10 s" >&2; exit 1; }

status=0
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" "$@" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- Weston's log:" >&2
    cat "$runtime/weston.log" >&2
fi
exit "$status"
