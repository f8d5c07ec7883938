#!/usr/bin/env bash
# Run: ctest --test-dir build -R XvfbCollection
#   (or: tests/xvfb/xvfb-collection.sh, build first: tools/build.sh)
# The collection window in an X server of its own (tools/xvfb-session.sh);
# tests/xvfb/xvfb_collection.py drives it and says what it checks.
# Needs: xvfb xdotool xclip (Debian packages).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
viewer=$build/viewer/quorvel

source "$top/tools/xvfb-session.sh"
xvfb_start
python3 "$top/tests/xvfb/xvfb_collection.py" "$viewer" "$xvfb_work"
