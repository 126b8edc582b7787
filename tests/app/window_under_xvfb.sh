#!/usr/bin/env bash
# Starts the real program on a virtual X display with a HEX file, as a user would, and checks
# what the user sees first: the title with the version, and a window that stays up.
#   window_under_xvfb.sh QUORVEL HEX_FILE
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
program=$1
hex_file=$2
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77


. "$(dirname "$0")/xvfb_session.sh" 1024x768

"$private_program" "$hex_file" >"$work/output" 2>&1 &
app_pid=$!
title=""
for _ in $(seq 100); do
    title=$(xdotool search --name "Vantora" getwindowname 2>/dev/null | head -1 || true)
    [ -n "$title" ] && break
    sleep 0.1
done
if [ "$title" != "Vantora Bootloader v2.0.0.0" ]; then
    echo "title: '$title'"
    cat "$work/output"
    exit 1
fi
sleep 0.5
if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "the program ended by itself"
    cat "$work/output"
    exit 1
fi
echo "title: $title"
