#!/usr/bin/env bash
# Regenerates the example covers and boxes, and the fuzz seeds made from them.
# Usage: examples/make-examples.sh [BUILD-FOLDER]   (default: $QUORVEL_BUILD_DIR or build/)
# The covers are drawn by quorvel-mkimage, built here when it is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${QUORVEL_BUILD_DIR:-$top/build}}
mkimage=$build/tools/quorvel-mkimage
if [ ! -x "$mkimage" ]; then
    cmake -S "$top" -B "$build" >/dev/null
    cmake --build "$build" --target quorvel-mkimage
fi

covers=$top/examples/covers
mkdir -p "$covers"
"$mkimage" --size 120x170 --quality 80 --shape disc --colors "#1c3324,#9fc9a6" \
    --text "Nebelwald" --text "Sammlung" "$covers/two-dvds.jpg"
"$mkimage" --size 80x112 --shape box --colors "#f6c945,#e2553f" \
    --text "Kinderkiste" "$covers/kinderkiste.bmp"
"$mkimage" --size 100x140 --shape plain --colors "#14233c,#5d7fa3" \
    --text "Krimi-Abende" --text "an der Förde" "$covers/krimi-abende.gif"

for description in "$top"/examples/*.json; do
    name=$(basename "$description" .json)
    python3 "$top/tools/boxwriter.py" "$description" -o "$top/examples/$name.box"
    cp "$top/examples/$name.box" "$top/fuzz/corpus/fuzz_box_load/example-$name.box"
    python3 "$top/tools/boxwriter.py" "$description" --data-only \
        -o "$top/fuzz/corpus/fuzz_render/example-$name.tokens"
done
ls -l "$top"/examples/*.box
