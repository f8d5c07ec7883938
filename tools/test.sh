#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then
# builds the suite once more with AddressSanitizer and UBSan (into
# build-asan/, or $QUORVEL_SANITIZE_BUILD_DIR) and runs it there too, the
# fuzz replays included. QUORVEL_SANITIZE=0 skips that second round.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
"$top/tools/build.sh"
cd "$build"
status=0
ctest --output-on-failure -j"$(nproc)" "$@" || status=$?

[ "${QUORVEL_SANITIZE:-1}" = 0 ] && exit "$status"
# No benchmarks there, and no Xvfb runs: they drive the same code as the
# offscreen GUI tests, only slower.
sanitize=${QUORVEL_SANITIZE_BUILD_DIR:-$top/build-asan}
cmake -S "$top" -B "$sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=ON \
    -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$sanitize" -j"$(nproc)"
cd "$sanitize"
ctest --output-on-failure -j"$(nproc)" -E '^Xvfb' "$@" || status=$?
exit "$status"
