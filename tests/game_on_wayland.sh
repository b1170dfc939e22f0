#!/usr/bin/env bash
# Starts the game as a player on a Wayland desktop would, with no X display and no Qt settings,
# and reads from the Wayland protocol what it asked the compositor for: a window of its own
# (not one through XWayland), of fixed size, with the game's title and desktop id, drawn.
#
#   tests/with_weston.sh tests/game_on_wayland.sh GAME
set -euo pipefail
game=$1
log=$(mktemp)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -f "$log"' EXIT

env -u QT_QPA_PLATFORM WAYLAND_DEBUG=client "$game" 2>"$log" &
pid=$!
# libwayland's trace names objects interface@id before version 1.23 and interface#id since.
drawn='attach\(wl_buffer[@#]'
# The first frame: a buffer attached to a surface and committed.
for ((tries = 0; tries < 200; tries++)); do
    grep -qE "$drawn" "$log" && grep -q '\.commit()' "$log" && break
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "The game ended before it drew a window:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done

requests=$(grep -E 'xdg_toplevel[@#][0-9]+\.set_(title|app_id|min_size|max_size)\(' "$log" |
    sed -E 's/^.*xdg_toplevel[@#][0-9]+\.//') || true
echo "The game asked the compositor for:"
echo "$requests"
failed=0
expect()
{
    grep -qxF "$1" <<<"$requests" || { echo "missing: $1" >&2; failed=1; }
}
expect 'set_title("Vir Urad Izuva?")'
expect 'set_app_id("net.virurad.VirUradIzuva")'
grep -qE "$drawn" "$log" || { echo "no frame was drawn" >&2; failed=1; }
# A window that cannot be resized: its smallest and largest sizes are the same.
min=$(grep -oE '^set_min_size\([0-9]+, [0-9]+\)' <<<"$requests" | tail -n 1 | tr -dc '0-9,') || true
max=$(grep -oE '^set_max_size\([0-9]+, [0-9]+\)' <<<"$requests" | tail -n 1 | tr -dc '0-9,') || true
if [ -z "$min" ] || [ "$min" != "$max" ]; then
    echo "the window's size is not fixed: smallest '$min', largest '$max'" >&2
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    echo "--- The game's Wayland trace, last lines:" >&2
    tail -n 40 "$log" >&2
fi
exit "$failed"
