#!/usr/bin/env bash
# Runs the real program on a virtual X display, photographs it closed, clicks "Show Activity",
# waits until the panel has slid open and photographs it again. The pictures are for people to
# look at; the test checks only the widths, which a display without a frame reports as given.
#   screenshots_under_xvfb.sh QUORVEL HEX_FILE OUTPUT_FOLDER
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
program=$1
hex_file=$2
output=$3
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null || exit 77
mkdir -p "$output"


. "$(dirname "$0")/xvfb_session.sh" 800x400

"$private_program" "$hex_file" >"$work/output" 2>&1 &
app_pid=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name "Vantora" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window"; cat "$work/output"; exit 1; }

width() { xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
wait_for_width() {
    for _ in $(seq 100); do
        [ "$(width)" = "$1" ] && return 0
        sleep 0.1
    done
    echo "window width $(width), expected $1"
    exit 1
}

wait_for_width 489
sleep 0.3 # let the first paint land
import -window root "$output/window-closed.png"
# "Show Activity" sits in the progress strip: 389 + 83 / 2 across, 292 + 22 / 2 down.
xdotool mousemove --window "$window" 430 303 click 1
wait_for_width 682
sleep 0.3
import -window root "$output/window-open.png"
xdotool mousemove --window "$window" 430 303 click 1
wait_for_width 489
echo "screenshots: $output/window-closed.png $output/window-open.png"
