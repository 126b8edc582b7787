#!/usr/bin/env bash
# 1,000 uploads through quorvel-cli to boards that play faults: scripts/bench runs it as
# bench/upload_soak.sh BUILD. Fails when a run ended otherwise than its fault demands, a success
# was false, or a run left a descriptor or a process behind.
set -euo pipefail
"${1:-build}/bin/quorvel-bench-upload-soak" "${1:-build}/bin/quorvel-cli" 1000
