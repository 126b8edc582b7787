#!/usr/bin/env bash
# Starts the real program beside a "Settings.ini" that cannot be read: the start-up ends with a
# box naming the file and the reason, before the window shows, and the exit status is 1.
#   unreadable_settings_under_xvfb.sh QUORVEL
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
program=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77

. "$(dirname "$0")/xvfb_session.sh" 1024x768

ln -s /proc/self/mem "$work/bin/Settings.ini" # a file even root cannot read
"$private_program" >"$work/output" 2>&1 &
app_pid=$!
box=""
for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --pid "$app_pid" --name '^Quorvel$' 2>/dev/null | head -1 || true)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || { echo "no box"; cat "$work/output"; exit 1; }
for window in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true); do
    case "$(xdotool getwindowname "$window" 2>/dev/null)" in
    Vantora*) echo "the window showed"; exit 1 ;;
    esac
done
sleep 0.3
xdotool windowfocus --sync "$box" key Return
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 1 ] || { echo "exit status $status"; exit 1; }
grep -q "Cannot open file \"$work/bin/Settings.ini\". Input/output error" "$work/output" ||
    { echo "unexpected message:"; cat "$work/output"; exit 1; }
echo "start-up ended with the box and exit status 1"
