#!/usr/bin/env bash
# The virtual board's own rate with an instant host: scripts/bench runs it as bench/board.sh BUILD.
set -euo pipefail
"${1:-build}/bin/quorvel-bench-board"
