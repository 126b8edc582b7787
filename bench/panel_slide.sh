#!/usr/bin/env bash
# Cost of one step of the sliding activity panel: bench/panel_slide.sh BUILD_DIR
set -euo pipefail
"${1:-build}/bin/quorvel-bench-panel-slide"
