#!/usr/bin/env bash
# Run: tests/examples/examples_match.sh   (CTest: ExamplesMatch)
# Every committed example box is what the box writer makes of its
# description; rerun examples/make-examples.sh after editing one.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for description in "$top"/examples/*.json; do
    name=$(basename "$description" .json)
    python3 "$top/tools/boxwriter.py" "$description" -o "$work/$name.box"
    cmp "$work/$name.box" "$top/examples/$name.box"
done
