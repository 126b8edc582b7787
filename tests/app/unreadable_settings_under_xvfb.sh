#!/usr/bin/env bash
# Starts the real program beside a "Settings.ini" that cannot be read: the start-up ends with a
# box naming the file and the reason, before the window shows, and the exit status is 1. The
# file is left exactly as it was: a link stays a link, a file keeps its bytes, mode and owner.
#   unreadable_settings_under_xvfb.sh QUORVEL
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail
program=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77

. "$(dirname "$0")/xvfb_session.sh" 1024x768
settings="$work/bin/Settings.ini"

# Runs the program (after the command words given, if any), answers its box, and checks that
# the start-up ended there with the message that names the file and REASON.
expect_failed_start() { # REASON [COMMAND...]
    local reason=$1 box="" status=0
    shift
    "$@" "$private_program" >"$work/output" 2>&1 &
    app_pid=$!
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
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 1 ] || { echo "exit status $status"; exit 1; }
    grep -qF "Cannot open file \"$settings\". $reason" "$work/output" ||
        { echo "unexpected message:"; cat "$work/output"; exit 1; }
}

expect_only_settings_beside_the_program() {
    local names
    names=$(cd "$work/bin" && ls -A | tr '\n' ' ')
    [ "$names" = "Settings.ini ports quorvel " ] || { echo "the folder holds: $names"; exit 1; }
}

ln -s /proc/self/mem "$settings" # a file even root cannot read
expect_failed_start "Input/output error"
[ -L "$settings" ] && [ "$(readlink "$settings")" = /proc/self/mem ] ||
    { echo "the link was replaced"; ls -l "$settings"; exit 1; }
expect_only_settings_beside_the_program
echo "start-up ended with the box and exit status 1; the link is still there"

if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
    echo "not root or no setpriv: the run as a user who cannot read the file is skipped"
    exit 0
fi
# Root's file, readable by root alone, in a folder where "nobody" could replace it.
rm "$settings"
printf '%s\r\n' "[frmPelmora]" "ComPort1_Port=ttyUSB3" "CheckBoxClose_Checked=TRUE" \
    "; a comment" "" "[frmPelmora\\ComPort1_Parity]" "Bits=prEven" >"$settings"
chmod 600 "$settings"
chmod 755 "$work"
chmod 777 "$work/bin"
mkdir -m 777 "$work/home"
cp -p "$settings" "$work/original"
before=$(stat -c '%i %a %U %G %F' "$settings")
expect_failed_start "Permission denied" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home"
after=$(stat -c '%i %a %U %G %F' "$settings")
[ "$after" = "$before" ] || { echo "was: $before, is: $after"; exit 1; }
cmp "$work/original" "$settings" || { echo "the bytes changed"; exit 1; }
expect_only_settings_beside_the_program
echo "as a user who cannot read it: the same box, and the file is unchanged"
