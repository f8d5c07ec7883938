#!/usr/bin/env bash
# Redraws the about box's animations (resources AVI 153 and AVI 130), looping
# forever: res/avi153.gif, a turning disc, 15 frames of 60 x 60 pixels at
# 100 ms; res/avi130.gif, an empty case with a thank-you line, 5 frames of
# 131 x 273 pixels at 300 ms.
# Usage: res/make-about-animations.sh [path/to/quorvel-mkimage]
# (default: the quorvel-mkimage of build/, built first when missing).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mkimage=${1:-$top/build/tools/quorvel-mkimage}
if [ ! -x "$mkimage" ]; then
    cmake -S "$top" -B "$top/build" >/dev/null
    cmake --build "$top/build" --target quorvel-mkimage
fi
"$mkimage" --size 60x60 --format gif --frames 15 --delay-ms 100 --loop 0 --shape disc \
    --colors "#1d3b5a,#8fb8d8" "$top/res/avi153.gif"
"$mkimage" --size 131x273 --format gif --frames 5 --delay-ms 300 --loop 0 --shape box \
    --colors "#5a2d1d,#e8c39a" --text "Danke" --text "fürs Sammeln" "$top/res/avi130.gif"
for f in avi153.gif avi130.gif; do
    echo "res/$f: $(stat -c %s "$top/res/$f") bytes"
done
