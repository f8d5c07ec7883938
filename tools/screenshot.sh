#!/usr/bin/env bash
# Makes docs/screenshot.png: the viewer under Xvfb on an example box, exactly
# as a user first sees it: its own size, no key pressed.
# Usage: tools/screenshot.sh [EXAMPLE.box] [OUTPUT.png]   (build first: tools/build.sh)
# Needs: xvfb xdotool imagemagick (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
example=$(realpath "${1:-$top/examples/two-dvds.box}")
output=$(realpath -m "${2:-$top/docs/screenshot.png}")
source "$top/tools/xvfb-session.sh"

xvfb_start
viewer_start /dev/null "$example"
sleep 0.5  # let the first paint land
mkdir -p "$(dirname "$output")"
import -window "$viewer_win" "$output"
viewer_stop_with_escape
echo "wrote $output"
