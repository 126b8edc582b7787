#!/usr/bin/env bash
# Terminal-log append benchmark: bench/terminal_log_append.sh BUILD_DIR
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$1/bin/quorvel-bench-terminal-log"
