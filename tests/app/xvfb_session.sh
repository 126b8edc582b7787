# Sourced by the tests that run the real program on a virtual X display. Before sourcing, set
# `program` (the quorvel file). Makes the temporary folder `work`, starts Xvfb on a free
# display of the given size, exports DISPLAY, and copies the program into a folder of its own,
# so that it keeps its "Settings.ini" and its ports away from the build's. On exit the program
# started as `app_pid`, the display and the folder go (a caller with more to clean up sets its
# own trap after sourcing).
#   . xvfb_session.sh WIDTHxHEIGHT      then: "$private_program" ARGS... & app_pid=$!
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb() { # SCREEN; sets xvfb_pid
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(tr -d '\n' <"$work/display")"
    unset QT_QPA_PLATFORM
}

start_xvfb "${1:-1024x768}"
mkdir -p "$work/bin/ports"
cp "$program" "$work/bin/quorvel"
ln -s /dev/null "$work/bin/ports/COM1" # the window's default port is there: no port lines
private_program="$work/bin/quorvel"
