#!/usr/bin/env bash
# Makes docs/screenshot.png: the viewer under Xvfb on an example box, exactly
# as a user first sees it: its own size, no key pressed.
# Usage: tools/screenshot.sh [EXAMPLE.box] [OUTPUT.png]   (build first: tools/build.sh)
# Needs: xvfb xauth xdotool imagemagick (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
example=$(realpath "${1:-$top/examples/two-dvds.box}")
output=$(realpath -m "${2:-$top/docs/screenshot.png}")

if [ -z "${QUORVEL_SHOT_INNER:-}" ]; then
    [ -x "$viewer" ] || { echo "no viewer at $viewer; run tools/build.sh first" >&2; exit 2; }
    export QUORVEL_SHOT_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$example" "$output"
fi

"$viewer" "$example" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvel$' | head -n 1)
sleep 0.5  # let the first paint land
mkdir -p "$(dirname "$output")"
import -window "$win" "$output"
xdotool windowfocus --sync "$win"
xdotool key Escape
wait "$pid" || true
trap - EXIT
echo "wrote $output"
