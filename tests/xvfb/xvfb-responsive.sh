#!/usr/bin/env bash
# Guards the viewer's answers to keys under a real X server (Xvfb), each
# under a 1 GiB address space and a 10 s guard (guards, not timings; the
# seconds are printed for the record):
#  - a box whose person line is 15 MiB long opens; Ctrl+F and one letter,
#    then Escape twice, end it;
#  - in a folder of 20,000 boxes with 245-digit names, Ctrl+PgDown ten
#    times and Ctrl+PgUp once show the eleventh, then the tenth name of the
#    folder's order (the title names the file shown).
# The inputs are made here (tests/hostile/make_hostile.py); the folder's
# names are hard links to one file.
# Usage: tests/xvfb/xvfb-responsive.sh   (build first: tools/build.sh)
# Needs: xvfb xdotool (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel
guard=10

source "$top/tools/xvfb-session.sh"
xvfb_start
work=$xvfb_work
ulimit -v $((1024 * 1024))  # KiB: 1 GiB for the viewer started below
make=$top/tests/hostile/make_hostile.py
python3 "$make" --long-line $((15 * 1024 * 1024)) "$work/long.box"
python3 "$make" --names 20000 245 "$work/names"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

# Waits up to the guard for the viewer to end; fails when it does not.
ends_within_guard() {
    local start=$1 what=$2
    for _ in $(seq $((guard * 10))); do
        kill -0 "$viewer_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$viewer_pid" 2>/dev/null && fail "$what: still busy after $guard s"
    wait "$viewer_pid" || fail "$what: the viewer ended with status $?"
    viewer_pid=""
    echo "$what: $(since "$start") s"
}

# Waits up to the guard for the main window's title to be TITLE.
titled_within_guard() {
    local start=$1 title=$2 what=$3
    for _ in $(seq $((guard * 10))); do
        [ "$(xdotool getwindowname "$viewer_win")" = "$title" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowname "$viewer_win")" = "$title" ] ||
        fail "$what: not \"$title\" after $guard s but \"$(xdotool getwindowname "$viewer_win")\""
    echo "$what: $(since "$start") s"
}

start=$(now)
viewer_start "$work/long.log" "$work/long.box"
echo "15 MiB line, window shown: $(since "$start") s"
xdotool windowfocus --sync "$viewer_win"
start=$(now)
xdotool key ctrl+f
xdotool type e
xdotool key Escape Escape
ends_within_guard "$start" "15 MiB line, Ctrl+F, one letter, Escape twice"

# Names of one length compare as their digits do.
mapfile -t names < <(ls "$work/names" | LC_ALL=C sort | head -n 11)
# Started in the folder: with it, the path would pass the command line's
# 259 characters.
cd "$work/names"
viewer_start "$work/names.log" "${names[0]}"
xdotool windowfocus --sync "$viewer_win"
start=$(now)
for _ in $(seq 10); do
    xdotool key ctrl+Next
done
titled_within_guard "$start" "${names[10]} – Quorvel" "20,000 names, Ctrl+PgDown ten times"
start=$(now)
xdotool key ctrl+Prior
titled_within_guard "$start" "${names[9]} – Quorvel" "20,000 names, Ctrl+PgUp"
viewer_stop_with_escape
echo "OK: the viewer answered within $guard s each time"
