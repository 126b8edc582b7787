#!/usr/bin/env bash
# Builds the Debian package from this build, checks it with lintian, unpacks it into a fresh
# root and runs its programs from there as an ordinary user with a home and a runtime folder
# of their own, as a user meets an installed Quorvel: the window keeps its Settings.ini in
# ~/.config/quorvel from one run to the next, a published virtual board is in the port list,
# the German catalogue is found, and nothing is written into the unpacked usr tree.
#   package_as_user.sh BUILD_FOLDER XVFB_SESSION CLOSE_WINDOW HEX_FILE
# Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
build=$1
xvfb_session=$2
close_window=$3
hex_source=$4
for tool in cpack dpkg-deb dpkg-shlibdeps lintian readelf Xvfb xdotool setpriv; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

fail() {
    echo "$1"
    exit 1
}

# The package, the unpacked root and the user's folders; everyone may pass through.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
chmod 755 "$folder"

started=$SECONDS
cpack --config "$build/CPackConfig.cmake" -B "$folder/package" >"$folder/cpack.log" 2>&1 ||
    { cat "$folder/cpack.log"; fail "cpack failed"; }
echo "package built in $((SECONDS - started)) s"
debs=("$folder"/package/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages: ${debs[*]}"
deb=${debs[0]}

started=$SECONDS
lintian --fail-on error "$deb" || fail "lintian found errors"
echo "lintian done in $((SECONDS - started)) s"

root="$folder/root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"
usr="$root/usr"

# The name says what the programs say: the version is written in one place.
version=$("$usr/bin/quorvel-cli" --version | sed 's/^quorvel-cli //')
[ "$(basename "$deb")" = "quorvel_${version}_$(dpkg --print-architecture).deb" ] ||
    fail "the package is called $(basename "$deb"), not after version $version"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6core6 libc6 qt6-qpa-plugins fonts-wine; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for program in quorvel quorvel-cli quorvel-board; do
    readelf -S "$usr/bin/$program" | grep -q '\.symtab' && fail "$program is not stripped"
    gzip -t "$usr/share/man/man1/$program.1.gz" || fail "the page of $program is missing"
done
[ -f "$usr/share/doc/quorvel/copyright" ] || fail "no copyright file"
[ -f "$usr/share/quorvel/installed" ] || fail "no mark of an install"
echo "Depends: $depends"

home="$folder/home"
runtime="$folder/runtime"
mkdir -m 700 "$home" "$runtime"
ports="$runtime/quorvel/ports"
settings="$home/.config/quorvel/Settings.ini"
hex_file="$folder/blink.hex"
cp "$hex_source" "$hex_file"
chmod 644 "$hex_file"

# The user: "nobody" when the tests run as root, else whoever runs them. Only what a desktop
# session sets is passed on; XDG_CONFIG_HOME is not, so the default ~/.config is used.
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$home" "$runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
    as_user=()
fi
user_environment=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime")
run_as_user() {
    "${as_user[@]}" "${user_environment[@]}" "$@"
}
# For a program started in the background: it takes the place of the shell that starts it, so
# that $! is the program's own process.
start_as_user() {
    exec "${as_user[@]}" "${user_environment[@]}" "$@"
}

snapshot() {
    (cd "$root" && find . -printf '%p %y %s %m %u %T@\n' | sort)
}
snapshot >"$folder/root.before"

# The German text from the unpacked catalogue, and the English one without it.
status=0
german=$(run_as_user LC_ALL=C.UTF-8 LANGUAGE=de "$usr/bin/quorvel-cli" ports --sysfs /nonexistent 2>&1) ||
    status=$?
[ "$status" -eq 1 ] || fail "quorvel-cli ports with no sysfs: exit status $status ($german)"
grep -q "Registrierungsfehler" <<<"$german" || fail "not German: $german"
english=$(run_as_user LC_ALL=C.UTF-8 "$usr/bin/quorvel-cli" ports --sysfs /nonexistent 2>&1) || true
grep -q "Registry error" <<<"$english" || fail "not English: $english"
echo "German from the unpacked catalogue: $german"

# The window, started by the user on the virtual display and closed as a window manager
# closes it; waits for it to end with status 0.
program="$usr/bin/quorvel"
. "$xvfb_session" 1024x768
board_pid=""
stop_all() {
    [ -n "$board_pid" ] && kill "$board_pid" 2>/dev/null || true
    cleanup
    rm -rf "$folder"
}
trap stop_all EXIT

run_window() { # ARGUMENTS...
    local window="" status=0
    start_as_user DISPLAY="$DISPLAY" "$program" "$@" >"$folder/window.log" 2>&1 &
    app_pid=$!
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --pid "$app_pid" --name '^Vantora' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { cat "$folder/window.log"; fail "no window"; }
    sleep 0.5 # let it finish showing
    "$close_window" "$window"
    for _ in $(seq 150); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && { cat "$folder/window.log"; fail "the window did not close"; }
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || { cat "$folder/window.log"; fail "the window ended with status $status"; }
}

# A first run makes the user's configuration folder and leaves its settings there.
[ ! -e "$home/.config" ] || fail "the home is not fresh"
run_window
[ -f "$settings" ] || fail "no $settings after the first run; the home holds: $(cd "$home" && find .)"
[ "$(stat -c %u "$settings")" = "$(run_as_user id -u)" ] ||
    fail "Settings.ini belongs to $(stat -c %U "$settings")"
grep -q '^\[frmPelmora\]' "$settings" || fail "Settings.ini holds no window settings: $(cat "$settings")"
echo "first run: $settings written"

# A virtual board published by the unpacked quorvel-board lands in the user's runtime folder
# and is in the unpacked quorvel-cli's list.
start_as_user "$usr/bin/quorvel-board" --publish packaged >"$folder/board.log" 2>&1 &
board_pid=$!
for _ in $(seq 100); do
    [ -L "$ports/packaged" ] && break
    sleep 0.1
done
[ -L "$ports/packaged" ] || { cat "$folder/board.log"; fail "no link $ports/packaged"; }
listed=$(run_as_user "$usr/bin/quorvel-cli" ports)
grep -qx packaged <<<"$listed" || fail "quorvel-cli ports lists: $listed"
echo "published: $ports/packaged -> $(readlink "$ports/packaged"); listed"

# The second run reads what the user chose: the published board as the port and "Close when
# finished". The stored port stays only if the window lists it, and the settings it writes at
# close keep both choices beside the file it was given.
run_as_user sed -i 's/^ComPort1_Port=.*\r$/ComPort1_Port=packaged\r/; s/^CheckBoxClose_Checked=.*\r$/CheckBoxClose_Checked=TRUE\r/' "$settings"
grep -q $'^ComPort1_Port=packaged\r$' "$settings" && grep -q $'^CheckBoxClose_Checked=TRUE\r$' "$settings" ||
    fail "the first run's settings hold no port or no \"Close when finished\": $(cat "$settings")"
run_window "$hex_file"
for line in "ComPort1_Port=packaged" "CheckBoxClose_Checked=TRUE" "OpenDialog1_FileName=$hex_file"; do
    grep -qxF "$line"$'\r' "$settings" || fail "after the second run, no $line in: $(cat "$settings")"
done
echo "second run: the stored port and \"Close when finished\" kept, the file remembered"

kill "$board_pid"
wait "$board_pid" || true
board_pid=""
[ ! -e "$ports/packaged" ] || fail "the board's link outlived it"

snapshot >"$folder/root.after"
diff "$folder/root.before" "$folder/root.after" || fail "the unpacked tree changed"
echo "nothing was written into the unpacked tree"
[ "$(id -u)" -eq 0 ] || exit 0

# Root, who could write there, keeps its files out of the system folders too.
root_runtime="$folder/root-runtime"
mkdir -m 700 "$root_runtime" "$folder/root-home"
env -i PATH=/usr/bin:/bin HOME="$folder/root-home" XDG_RUNTIME_DIR="$root_runtime" \
    "$usr/bin/quorvel-board" --publish by-root >"$folder/board.log" 2>&1 &
board_pid=$!
for _ in $(seq 100); do
    [ -L "$root_runtime/quorvel/ports/by-root" ] && break
    sleep 0.1
done
[ -L "$root_runtime/quorvel/ports/by-root" ] || { cat "$folder/board.log"; fail "root's board is not in its runtime folder"; }
kill "$board_pid"
wait "$board_pid" || true
board_pid=""
snapshot >"$folder/root.after"
diff "$folder/root.before" "$folder/root.after" || fail "root's board changed the unpacked tree"
echo "as root too: the board's link in the runtime folder, nothing in the unpacked tree"
