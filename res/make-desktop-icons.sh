#!/usr/bin/env bash
# Rebuilds the desktop's icons in res/icons/hicolor/ (application and box file
# type, PNG 16 to 256 and SVG) from the window icon's design.
# Needs g++ and qt6-base-dev.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-icons.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -fPIC -o "$work/make_desktop_icons" "$here/make_desktop_icons.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)
rm -rf "$here/icons/hicolor"
QT_QPA_PLATFORM=offscreen "$work/make_desktop_icons" "$here/icons"
echo "wrote $here/icons/hicolor"
