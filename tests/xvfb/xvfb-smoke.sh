#!/usr/bin/env bash
# Checks the viewer under a real X server (Xvfb): started on an example box it
# opens exactly one window titled "Quorvel" whose cover frame and text view
# differ from a start without a file, whose first view shows text at the
# view's left edge, and Escape ends it.
# Usage: tests/xvfb/xvfb-smoke.sh [EXAMPLE.box]   (build first: tools/build.sh)
# Needs: xvfb xdotool imagemagick (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
example=$(realpath "${1:-$top/examples/two-dvds.box}")

source "$top/tools/xvfb-session.sh"
xvfb_start
work=$xvfb_work

# Starts the viewer with the given arguments: exactly one window, titled
# Quorvel; sets win.
start() {
    viewer_start "$work/viewer.log" "$@"
    win=$viewer_win
    local count
    count=$(xdotool search --onlyvisible --name '^Quorvel$' | wc -l)
    [ "$count" -eq 1 ] || fail "$count windows titled Quorvel"
    [ "$(xdotool getwindowname "$win")" = "Quorvel" ] || fail "window title is not Quorvel"
    sleep 0.5  # let the first paint land before the picture is taken
}

# Cuts a region out of the window picture: WIDTHxHEIGHT+X+Y.
region() { /usr/bin/convert "$1" -crop "$2" +repage "$3"; }

start
import -window "$win" "$work/empty.png"
viewer_stop_with_escape

start "$example"
import -window "$win" "$work/example.png"
viewer_stop_with_escape

region "$work/empty.png" 99x139+0+0 "$work/cover-empty.png"
region "$work/example.png" 99x139+0+0 "$work/cover-example.png"
region "$work/empty.png" 300x200+110+5 "$work/text-empty.png"
region "$work/example.png" 300x200+110+5 "$work/text-example.png"
differs() { ! /usr/bin/compare -metric AE "$1" "$2" null: 2>/dev/null; }
differs "$work/cover-empty.png" "$work/cover-example.png" || fail "the example's cover is not shown"
differs "$work/text-empty.png" "$work/text-example.png" || fail "the record text is not shown"
# The first view, no key pressed, is text down its left part, not a pane
# scrolled out to a long last line's end (ink about 13% there; 2% when not).
ink=$(/usr/bin/convert "$work/example.png" -crop 140x290+110+5 +repage -colorspace gray \
    -threshold 50% -format "%[fx:1-mean]" info:)
awk -v ink="$ink" 'BEGIN { exit !(ink >= 0.06) }' || fail "the first view is mostly blank (ink $ink)"
echo "OK: one window \"Quorvel\" showed $(basename "$example") with its cover and record; Escape ended it"
