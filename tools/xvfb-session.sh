# Sourced, not run, by tools/screenshot.sh and the Xvfb checks (tests/xvfb/):
# an X server of the script's own with the viewer in it, both stopped and the
# work folder removed however the script ends (the EXIT trap is this file's).
#
#   xvfb_start               starts Xvfb on a free display, exports DISPLAY and
#                            makes $xvfb_work, a fresh folder without a '-'
#   viewer_start LOG ARGS... runs $viewer ARGS..., output to LOG; sets viewer_pid
#                            and viewer_win once one window "Quorvel" shows
#   viewer_stop_with_escape  Escape in that window; fails unless the viewer
#                            then ends, with status 0
#
# The sourcing script sets $viewer first. Needs: xvfb xdotool (Debian packages).

xvfb_pid=""
xvfb_work=""
viewer_pid=""
viewer_win=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

xvfb_cleanup() {
    if [ -n "$viewer_pid" ]; then
        kill "$viewer_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_work" ]; then
        rm -rf "$xvfb_work"
    fi
}

xvfb_start() {
    [ -x "$viewer" ] || { echo "no viewer at $viewer; run tools/build.sh first" >&2; exit 2; }
    trap xvfb_cleanup EXIT
    trap 'exit 130' INT TERM
    # The viewer's -logdatei path may hold no '-', and checks log into here.
    xvfb_work=$(mktemp -d "${TMPDIR:-/tmp}/qxvfb.XXXXXX")
    # -displayfd: the server takes the first free display and names it once
    # it accepts clients.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$xvfb_work/display" 2>"$xvfb_work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        grep -q '^[0-9][0-9]*$' "$xvfb_work/display" && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$xvfb_work/xvfb.log")"
        sleep 0.1
    done
    grep -q '^[0-9][0-9]*$' "$xvfb_work/display" || fail "Xvfb named no display"
    DISPLAY=:$(cat "$xvfb_work/display")
    export DISPLAY
}

viewer_start() {
    local log=$1
    shift
    "$viewer" "$@" >"$log" 2>&1 &
    viewer_pid=$!
    # sed reads to the end, so xdotool never writes into a closed pipe.
    viewer_win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvel$' | sed -n 1p) || true
    [ -n "$viewer_win" ] || fail "no window titled Quorvel appeared"
}

viewer_stop_with_escape() {
    xdotool windowfocus --sync "$viewer_win"
    xdotool key Escape
    for _ in $(seq 50); do
        kill -0 "$viewer_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$viewer_pid" 2>/dev/null && fail "Escape did not end the viewer"
    local status=0
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    [ "$status" -eq 0 ] || fail "the viewer ended with status $status"
}
