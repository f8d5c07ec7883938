#!/usr/bin/env bash
# Checks the about box under a real X server (Xvfb): the viewer started as
#   quorvel -log 8 '-logdatei "<tmp>/q.log"'
# opens, on F1, exactly one window titled "Info über Quorvel"; F1
# pressed again inside it opens no second one; and the log file then holds
# the version reader's two level-8 lines, "new char[N] = <address>" and
# "delete <address>", each after the time stamp "<DD.MM.YYYY hh:mm:ss>: ".
# Escape closes the about box, then the viewer.
# Usage: tests/xvfb/xvfb-about.sh   (build first: tools/build.sh)
# Needs: xvfb xdotool (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel

source "$top/tools/xvfb-session.sh"
xvfb_start
work=$xvfb_work
# Every '-' on the command line starts an option, so the log path must have none.
case "$work" in *-*) fail "the temporary folder $work holds a '-'; set TMPDIR to a folder without one" ;; esac
log=$work/q.log
title="Info über Quorvel"

viewer_start "$work/viewer.out" -log 8 "-logdatei \"$log\""
main=$viewer_win
xdotool windowfocus --sync "$main"
xdotool key F1

about=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
    fail "no window titled \"$title\" appeared after F1"
[ "$(xdotool getwindowname "$about")" = "$title" ] || fail "the about box is not titled \"$title\""

# F1 inside the open about box, then in the main window: still one box.
xdotool windowfocus --sync "$about"
xdotool key F1
xdotool key --window "$main" F1
sleep 0.5
count=$(xdotool search --onlyvisible --name "^$title\$" | wc -l)
[ "$count" -eq 1 ] || fail "$count about boxes are open"

[ -f "$log" ] || fail "no log file at $log"
stamp='<[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}>: '
[ "$(wc -l <"$log")" -eq 2 ] || fail "the log holds $(wc -l <"$log") lines, not 2: $(cat "$log")"
first=$(sed -n 1p "$log")
second=$(sed -n 2p "$log")
[[ $first =~ ^${stamp}new\ char\[([0-9]+)\]\ =\ ([0-9a-f]{8,})$ ]] ||
    fail "first log line is not \"new char[N] = <address>\": $first"
size=${BASH_REMATCH[1]}
address=${BASH_REMATCH[2]}
[[ $second =~ ^${stamp}delete\ ([0-9a-f]{8,})$ ]] ||
    fail "second log line is not \"delete <address>\": $second"
[ "${BASH_REMATCH[1]}" = "$address" ] || fail "new and delete name different addresses"
[ "$size" -gt 1 ] || fail "the version block was not found (buffer of $size byte)"

xdotool windowfocus --sync "$about"
xdotool key Escape
for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$title\$" >/dev/null || break
    sleep 0.1
done
xdotool search --onlyvisible --name "^$title\$" >/dev/null && fail "Escape did not close the about box"

viewer_stop_with_escape
echo "OK: F1 opened one \"$title\"; the log holds \"new char[$size] = $address\" and \"delete $address\""
