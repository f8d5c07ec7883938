#!/usr/bin/env bash
# Run: ctest --test-dir build -R Install.LogAsRoot
# `sudo quorvel -log 8` with the installed viewer, for real: the tree
# Install.Tree installed is bound over /usr/bin in a mount namespace of its
# own, and /usr/bin/quorvel runs there as root (uid 0; for a caller who is
# not root, inside a user namespace) under Xvfb. F1 opens the about box,
# whose version reader writes the viewer's two level-8 lines. Afterwards the
# installed bin folder holds only the three programs, and the log is in
# root's state folder, $HOME/.local/state/quorvel/mirax.log.
# Usage: check-log-as-root.sh ROOT   (exit status 77: no namespaces here)
# Needs: util-linux (unshare, mount), xvfb xauth xdotool (Debian packages).
set -euo pipefail
root=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

as_root=(unshare --mount --propagation private)
[ "$(id -u)" -eq 0 ] || as_root=(unshare --user --map-root-user --mount --propagation private)
if [ -z "${QUORVEL_LOG_INNER:-}" ]; then
    [ -x "$root/usr/bin/quorvel" ] || fail "no installed viewer in $root; run Install.Tree first"
    "${as_root[@]}" true 2>/dev/null || { echo "SKIP: no mount namespace for ${as_root[*]}"; exit 77; }
    export QUORVEL_LOG_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qlogroot.XXXXXX")
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/home"
before=$(ls -A "$root/usr/bin")

# The bind happens before the viewer starts, so /usr/bin/quorvel is the
# installed one and the program's folder reads /usr/bin.
env -u XDG_STATE_HOME HOME="$work/home" "${as_root[@]}" \
    sh -c 'mount --bind "$1/usr/bin" /usr/bin && exec /usr/bin/quorvel -log 8' sh "$root" \
    >"$work/viewer.out" 2>&1 &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvel$' | head -n 1) ||
    fail "the viewer's window did not appear: $(cat "$work/viewer.out")"
xdotool windowfocus --sync "$main"
xdotool key F1
title="Info über Quorvel"
about=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
    fail "no about box after F1"
xdotool windowfocus --sync "$about"
xdotool key Escape
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
wait "$pid" || fail "the viewer ended with status $?: $(cat "$work/viewer.out")"
pid=""

[ "$(ls -A "$root/usr/bin")" = "$before" ] ||
    fail "the viewer wrote beside itself: $(ls -A "$root/usr/bin" | tr '\n' ' ')"
log=$work/home/.local/state/quorvel/mirax.log
[ -f "$log" ] || fail "no log at $log: $(find "$work/home" | tr '\n' ' ')"
grep -q 'new char\[' "$log" && grep -q 'delete ' "$log" ||
    fail "the log lacks the version reader's lines: $(cat "$log")"
echo "OK: run as root from /usr/bin, the viewer logged into $log and nothing beside itself"
