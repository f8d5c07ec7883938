#!/usr/bin/env bash
# Rebuilds the window's own pictures in res/: icon group 128 (icon128-32.png,
# icon128-16.png) and cursor 147 (cursor147.png). Needs g++ and qt6-base-dev.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-res.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -fPIC -o "$work/make_window_res" "$here/make_window_res.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/make_window_res" "$here"
echo "wrote $here/icon128-32.png $here/icon128-16.png $here/cursor147.png"
