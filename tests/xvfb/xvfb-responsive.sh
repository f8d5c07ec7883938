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
ended() { ! kill -0 "$viewer_pid" 2>/dev/null; }
titled() { [ "$(xdotool getwindowname "$viewer_win")" = "$1" ]; }

# Polls CHECK ARGS... until it holds, for the guard at most, then prints the
# seconds since START; fails naming WHAT when it never held.
within_guard() {
    local start=$1 what=$2
    shift 2
    for _ in $(seq $((guard * 10))); do
        "$@" && { echo "$what: $(since "$start") s"; return; }
        sleep 0.1
    done
    fail "$what: not done after $guard s"
}

start=$(now)
viewer_start "$work/long.log" "$work/long.box"
echo "15 MiB line, window shown: $(since "$start") s"
xdotool windowfocus --sync "$viewer_win"
start=$(now)
xdotool key ctrl+f
xdotool type e
xdotool key Escape Escape
within_guard "$start" "15 MiB line, Ctrl+F, one letter, Escape twice" ended
wait "$viewer_pid" || fail "the viewer ended with status $?"

# Names of one length compare as their digits do. Started in the folder:
# with it, the path would pass the command line's 259 characters.
mapfile -t names < <(ls "$work/names" | LC_ALL=C sort | head -n 11)
cd "$work/names"
viewer_start "$work/names.log" "${names[0]}"
xdotool windowfocus --sync "$viewer_win"
start=$(now)
for _ in $(seq 10); do
    xdotool key ctrl+Next
done
within_guard "$start" "20,000 names, Ctrl+PgDown ten times" titled "${names[10]} – Quorvel"
start=$(now)
xdotool key ctrl+Prior
within_guard "$start" "20,000 names, Ctrl+PgUp" titled "${names[9]} – Quorvel"
viewer_stop_with_escape
echo "OK: the viewer answered within $guard s each time"
