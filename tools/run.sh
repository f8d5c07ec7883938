#!/usr/bin/env bash
# Builds and opens the viewer on a bundled example. Without a display it
# prints the example with quorvel-dump instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
example=${1:-$top/examples/two-dvds.box}
"$top/tools/build.sh"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/viewer/quorvel" "$example"
fi
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
echo "Showing the example with quorvel-dump instead; run this on a desktop, or"
echo "under 'xvfb-run', to get the window."
echo
exec "$build/cli/quorvel-dump" "$example"
