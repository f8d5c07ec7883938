#!/usr/bin/env bash
# Configures and builds into build/ (or $QUORVEL_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEL_BUILD_TESTS=ON -DQUORVEL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
