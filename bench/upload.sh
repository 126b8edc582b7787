#!/usr/bin/env bash
# Uploads through the real window to the virtual board: scripts/bench runs it as bench/upload.sh BUILD.
# bench/board.sh gives the bare responder loop's rate for the same kind of line.
set -euo pipefail
"${1:-build}/bin/quorvel-bench-upload"
