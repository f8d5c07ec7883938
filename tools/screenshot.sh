#!/usr/bin/env bash
# Makes docs/screenshot.png: the viewer under Xvfb on an example box, exactly
# as a user first sees it: its own size, no key pressed. With --collection,
# docs/collection.png: the collection window on a folder (the examples),
# its covers in, on an index and thumbnail cache of its own.
# Usage: tools/screenshot.sh [EXAMPLE.box] [OUTPUT.png]
#        tools/screenshot.sh --collection [FOLDER] [OUTPUT.png]
#        (build first: tools/build.sh)
# Needs: xvfb xdotool imagemagick (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
source "$top/tools/xvfb-session.sh"

if [ "${1:-}" = --collection ]; then
    folder=$(realpath "${2:-$top/examples}")
    output=$(realpath -m "${3:-$top/docs/collection.png}")
    xvfb_start
    XDG_CACHE_HOME=$xvfb_work/cache "$viewer" "$folder" >/dev/null 2>&1 &
    viewer_pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name 'Quorvel-Sammlung$' | sed -n 1p) ||
        true
    [ -n "$win" ] || fail "no collection window appeared"
    xdotool windowsize --sync "$win" 1000 300
    sleep 1.5  # the index brought up to date, the covers made
    mkdir -p "$(dirname "$output")"
    import -window "$win" "$output"
    xdotool windowfocus --sync "$win"
    xdotool key ctrl+w
    wait "$viewer_pid" || fail "the program ended with status $?"
    viewer_pid=""
    echo "wrote $output"
    exit 0
fi

example=$(realpath "${1:-$top/examples/two-dvds.box}")
output=$(realpath -m "${2:-$top/docs/screenshot.png}")
xvfb_start
viewer_start /dev/null "$example"
sleep 0.5  # let the first paint land
mkdir -p "$(dirname "$output")"
import -window "$viewer_win" "$output"
viewer_stop_with_escape
echo "wrote $output"
