#!/usr/bin/env bash
# Installs the build into a fresh folder and checks what a desktop needs from it: the
# programs, the message catalogues, the desktop entry that opens .hex files, the file type it names and the icons.
#   install_tree.sh BUILD_FOLDER
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
    echo "$1"
    exit 1
}
for program in quorvel quorvel-cli quorvel-board; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program missing"
done
[ -f "$prefix/share/locale/de/LC_MESSAGES/cport.mo" ] || fail "the German catalogue is missing"
[ -f "$prefix/share/quorvel/installed" ] || fail "the mark of an install is missing"
entry="$prefix/share/applications/quorvel.desktop"
[ -f "$entry" ] || fail "desktop entry missing"
grep -qx 'Exec=quorvel %f' "$entry" || fail "the entry does not hand the file to quorvel"
grep -qx 'Icon=quorvel' "$entry" || fail "the entry names no icon"
mime_type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$entry")
[ -n "$mime_type" ] || fail "the entry opens no file type"
types="$prefix/share/mime/packages/quorvel-hex.xml"
grep -q "type=\"$mime_type\"" "$types" || fail "$mime_type is not defined"
grep -q 'pattern="\*.hex"' "$types" || fail "$mime_type does not cover .hex files"
for size in 48 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/quorvel.png"
    [ -f "$icon" ] || fail "icon $size missing"
    if command -v identify >/dev/null; then
        [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "icon $size has the wrong size"
    fi
done
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
