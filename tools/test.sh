#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then
# builds the suite once more with AddressSanitizer and UBSan (into
# build-asan/, or $QUORVEL_SANITIZE_BUILD_DIR) and runs it there too, the
# fuzz replays included, and the threads test once more under
# ThreadSanitizer (build-tsan/). QUORVEL_SANITIZE=0 skips both rounds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_BUILD_DIR:-$top/build}
"$top/tools/build.sh"
cd "$build"
status=0
ctest --output-on-failure -j"$(nproc)" "$@" || status=$?

[ "${QUORVEL_SANITIZE:-1}" = 0 ] && exit "$status"
# No benchmarks there, and no Xvfb runs (the installed viewer's run as root
# is one): they drive the same code as the offscreen GUI tests, only slower,
# and the session bus library they load leaks at exit.
sanitize=${QUORVEL_SANITIZE_BUILD_DIR:-$top/build-asan}
cmake -S "$top" -B "$sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=ON \
    -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$sanitize" -j"$(nproc)"
cd "$sanitize"
# Leak checking reads the dynamic TLS of the image plugins Qt loads with
# dlopen; with the interception of __tls_get_addr it can meet an entry it
# misreads and crash at exit, after the test passed.
export ASAN_OPTIONS=intercept_tls_get_addr=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}
ctest --output-on-failure -j"$(nproc)" -E '^(Xvfb|Install\.LogAsRoot)' "$@" || status=$?

# Boxes on many threads at once: only that test, it needs no Qt.
tsan=${QUORVEL_TSAN_BUILD_DIR:-$top/build-tsan}
cmake -S "$top" -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=thread \
    -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$tsan" -j"$(nproc)" --target engine_threads_tests
"$tsan/tests/engine_threads_tests" || status=$?
exit "$status"
