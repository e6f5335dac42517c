#!/usr/bin/env bash
# Start-up benchmark under a virtual display: orvane against a bare Qt dialog of the same size.
set -euo pipefail
bin=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bin}
if [ -n "${DISPLAY:-}" ]; then exec "$bin/orvane-bench-startup" "$bin"; fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$bin/orvane-bench-startup" "$bin"
