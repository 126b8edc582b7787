#!/usr/bin/env bash
# Drops real files on the real program under a virtual X display, from another program as a
# file manager would: a file that fails to load is reported in a box titled "Quorvel", and the
# program goes on.
#   drop_under_xvfb.sh QUORVEL DRAG_SOURCE
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
program=$1
drag_source=$2
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77

. "$(dirname "$0")/xvfb_session.sh" 1024x768
pids=() # the program and the drag source
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    cleanup
}
trap stop_all EXIT

# The mapped windows of process PID named NAME, leaving out the window EXCEPT. The main window
# is left out when looking for the box: its icon name is the application's name.
find_windows() { # PID NAME [EXCEPT]
    xdotool search --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | grep -vx "${3:-none}" || true
}

wait_for_window() { # PID NAME [EXCEPT]: prints the first such window's id once it is there
    for _ in $(seq 100); do
        if id=$(find_windows "$@" | head -1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# A record line with a trailing blank: the loader refuses it with a conversion error.
printf ':0100000001FE \r\n' >"$work/broken.hex"
printf 'not a hex file\n' >"$work/notes.txt"

"$private_program" >"$work/output" 2>&1 &
app_pid=$!
pids+=("$app_pid")
main=$(wait_for_window "$app_pid" "Vantora Bootloader v2.0.0.0") || { echo "no main window"; exit 1; }

"$drag_source" "$work/notes.txt" "$work/broken.hex" &
source_pid=$!
pids+=("$source_pid")
source=$(wait_for_window "$source_pid" "drag source") || { echo "no drag source"; exit 1; }

drag_and_drop() {
    xdotool mousemove --window "$source" 50 50 mousedown 1
    sleep 0.3
    xdotool mousemove --window "$source" 60 60
    sleep 0.2
    xdotool mousemove --window "$main" 100 150
    sleep 0.3
    xdotool mousemove --window "$main" 110 160
    sleep 0.3
    xdotool mouseup 1
}

# A busy machine may miss the start of a drag: the gesture is tried again, up to three times.
box=""
for _ in 1 2 3; do
    drag_and_drop
    for _ in $(seq 30); do
        box=$(find_windows "$app_pid" "Quorvel" "$main" | head -1)
        [ -n "$box" ] && break 2
        sleep 0.1
    done
done
[ -n "$box" ] || { echo "no error box after the drop"; cat "$work/output"; exit 1; }
# Without a window manager the keyboard goes where it is sent: give it to the box, then answer.
sleep 0.3
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do
    [ -z "$(find_windows "$app_pid" "Quorvel" "$main")" ] && break
    sleep 0.1
done
sleep 0.3
if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "the program ended after the error"
    cat "$work/output"
    exit 1
fi
if [ -n "$(find_windows "$app_pid" "Quorvel" "$main")" ]; then
    echo "the error box did not close"
    exit 1
fi
echo "drop reported and the program goes on"
