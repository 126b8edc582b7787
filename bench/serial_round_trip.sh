#!/usr/bin/env bash
# One-byte request/answer round trip through a pseudo-terminal: the port against a bare loop.
set -euo pipefail
"$1/bin/quorvel-bench-serial-round-trip"
