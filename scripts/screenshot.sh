#!/usr/bin/env bash
# Takes docs/screenshot.png from the real game: a 10 x 10 game in progress, played by mouse clicks.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]      (defaults build/release, docs/screenshot.png)
#
# The game runs on a private X server with no window manager, so the window has no frame and
# stands at the screen's top-left corner; every click below is at a window position.
set -euo pipefail
export LC_ALL=C

cd "$(dirname "$0")/.."
build_dir=${1:-build/release}
output=${2:-docs/screenshot.png}
game=$build_dir/app/vir-urad-izuva

if [ -z "${SCREENSHOT_INSIDE:-}" ]; then
    if [ ! -x "$game" ]; then
        source scripts/packages.sh
        echo "$game is missing; build it first, from $PWD:" >&2
        echo "  scripts/install-deps.sh ${BUILD_PACKAGES[*]}" >&2
        echo "  cmake -S . -B $build_dir -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF" >&2
        echo "  cmake --build $build_dir --target vir-urad-izuva" >&2
        exit 1
    fi
    scripts/install-deps.sh xvfb xauth xdotool imagemagick fonts-liberation
    mkdir -p "$(dirname "$output")"
    # A fixed screen depth and resolution, so the same build gives the same picture.
    SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" \
        "$0" "$build_dir" "$output"
fi

# The player's own Qt settings would change the picture; the game's own choices should show.
unset QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$game" 2>"$work/stderr.log" &
game_pid=$!
trap 'kill "$game_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vir Urad Izuva\?$' | head -n 1) || {
    echo "The game's window did not appear; the game said:" >&2
    cat "$work/stderr.log" >&2
    exit 1
}
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$X$Y$WIDTH$HEIGHT" != 00688600 ]; then
    echo "Expected a 688 x 600 window at 0,0, found ${WIDTH} x ${HEIGHT} at $X,$Y." >&2
    exit 1
fi
# Let the first paint finish before the first click.
sleep 0.5

click()
{
    # No --sync: it waits for the pointer to move, forever when it is already there. X
    # handles the requests in order, so the click lands where the pointer was moved to.
    xdotool mousemove "$1" "$2" click "$3"
    sleep 0.1
}

# The scroll bar's left arrow, at the left end of the bar (600, 120, 89 x 17), takes the board
# from 25 x 25 down to 10 x 10 one step at a time.
for ((i = 0; i < 15; i++)); do
    click 607 128 1
done

# Cells of a 10 x 10 board are 60 pixels square; these are clicked at their centres.
cell_click()
{
    click $(($1 * 60 + 30)) $(($2 * 60 + 30)) "$3"
}
# Nine chips with no three evenly spaced on a line ...
for chip in 1,1 2,1 1,2 4,2 6,4 3,6 7,6 5,8 8,7; do
    cell_click "${chip%,*}" "${chip#*,}" 1
done
# ... and yellow marks on two cells that would complete a line of three.
cell_click 3 1 3
cell_click 1 3 3

# Out of the way over the plain green, so no control is drawn hovered.
xdotool mousemove 640 40
sleep 0.5

# Without the creation and modification times, the same picture gives the same file.
import -window "$window" -define png:exclude-chunks=date,time "$output"
echo "Wrote $output"
