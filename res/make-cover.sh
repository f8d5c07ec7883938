#!/usr/bin/env bash
# Redraws the default cover res/cover129.jpg (resource JPG 129): an empty
# DVD case with "kein Cover", 100 x 140 pixels, a baseline JPEG of about
# 1.1 KB. Usage: res/make-cover.sh [path/to/quorvel-mkimage]
# (default: the quorvel-mkimage of build/, built first when missing).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mkimage=${1:-$top/build/tools/quorvel-mkimage}
if [ ! -x "$mkimage" ]; then
    cmake -S "$top" -B "$top/build" >/dev/null
    cmake --build "$top/build" --target quorvel-mkimage
fi
"$mkimage" --size 100x140 --format jpg --quality 30 --shape box \
    --colors "#2b2f3a,#6d7890" --text "kein Cover" "$top/res/cover129.jpg"
echo "res/cover129.jpg: $(stat -c %s "$top/res/cover129.jpg") bytes"
