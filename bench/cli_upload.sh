#!/usr/bin/env bash
# quorvel-cli upload to the virtual board, paced and unpaced, beside the line's limit, a bare
# responder loop and the window: scripts/bench runs it as bench/cli_upload.sh BUILD.
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
image_bytes=131072
"$build/bin/quorvel-bench-make-hex" "$work/image.hex" "$image_bytes"
"$build/bin/quorvel-bench-cli-upload" "$build/bin/quorvel-cli" "$work/image.hex" "$image_bytes"
