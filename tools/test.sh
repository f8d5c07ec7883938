#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
"$top/tools/build.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
