#!/usr/bin/env bash
# Checks the viewer under a real X server (Xvfb): started on an example box it
# opens exactly one window titled "Quorvel" whose cover frame and text view
# differ from a start without a file, whose first view shows text at the
# view's left edge, and Escape ends it.
# Usage: tests/xvfb/xvfb-smoke.sh [EXAMPLE.box]   (build first: tools/build.sh)
# Needs: xvfb xauth xdotool imagemagick (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
example=$(realpath "${1:-$top/examples/two-dvds.box}")

if [ -z "${QUORVEL_SMOKE_INNER:-}" ]; then
    [ -x "$viewer" ] || { echo "no viewer at $viewer; run tools/build.sh first" >&2; exit 2; }
    export QUORVEL_SMOKE_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$example"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-smoke.XXXXXX")
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the viewer with the given arguments; sets pid and win.
start() {
    "$viewer" "$@" >"$work/viewer.log" 2>&1 &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvel$' | head -n 1) ||
        fail "no window titled Quorvel appeared"
    local count
    count=$(xdotool search --onlyvisible --name '^Quorvel$' | wc -l)
    [ "$count" -eq 1 ] || fail "$count windows titled Quorvel"
    [ "$(xdotool getwindowname "$win")" = "Quorvel" ] || fail "window title is not Quorvel"
    sleep 0.5  # let the first paint land before the picture is taken
}

# Escape in the focused text view ends the viewer.
stop_with_escape() {
    xdotool windowfocus --sync "$win"
    xdotool key Escape
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "Escape did not end the viewer"
    fi
    wait "$pid" || fail "the viewer ended with status $?"
    pid=""
}

# Cuts a region out of the window picture: WIDTHxHEIGHT+X+Y.
region() { /usr/bin/convert "$1" -crop "$2" +repage "$3"; }

start
import -window "$win" "$work/empty.png"
stop_with_escape

start "$example"
import -window "$win" "$work/example.png"
stop_with_escape

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
