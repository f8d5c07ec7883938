#!/usr/bin/env bash
# Builds the programs (only they, no tests) and opens the viewer on a bundled
# example. Without a display it prints the example with quorvel-dump instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
example=${1:-$top/examples/two-dvds.box}
# Only what the programs need: no test packages, no test targets.
"$top/tools/install-deps.sh" --run
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target quorvel quorvel-dump quorvel-thumbnailer
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/viewer/quorvel" "$example"
fi
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
echo "Showing the example with quorvel-dump instead; run this on a desktop, or"
echo "under 'xvfb-run', to get the window."
echo
exec "$build/cli/quorvel-dump" "$example"
