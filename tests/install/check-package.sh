#!/usr/bin/env bash
# Run: ctest --test-dir build -R Install.DebianPackage
# Builds the Debian package with cpack and checks it: it holds every file of
# expected-files.txt, its dependencies come from the shared libraries, the
# stripped viewer still carries its version block, and lintian finds no
# error.
# Usage: check-package.sh BUILD_DIR WORK_DIR VERSION
# Needs: dpkg-dev lintian binutils (Debian packages).
set -euo pipefail
build=$1
work=$2
version=$3
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/quorvel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single quorvel_*.deb"
deb=${debs[0]}

missing=$(comm -23 <(sort "$here/expected-files.txt") \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub("^\\./", "", $6); print $6}' | sort))
[ -z "$missing" ] || fail "the package lacks: $missing"

[ "$(dpkg-deb -f "$deb" Package)" = quorvel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
[ "$(dpkg-deb -f "$deb" Section)" = video ] || fail "section"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 zlib1g libc6; do
    [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] ||
        fail "Depends lacks $lib: $depends"
done

dpkg-deb -x "$deb" "$work/root"
# The changelog is written by hand: its newest entry must be this release.
top=$(gzip -dc "$work/root/usr/share/doc/quorvel/changelog.gz" | sed -n 1p)
[[ $top == "quorvel ($version) "* ]] || fail "the changelog's newest entry is not $version: $top"
# Read whole first: with pipefail, grep -q leaving early would fail readelf.
sections=$(readelf -S "$work/root/usr/bin/quorvel")
[[ $sections == *.quorvel_version* ]] || fail "stripping lost the viewer's version block"

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian reports an error"; }
cat "$work/lintian.log"
echo "OK: $(basename "$deb") holds $(wc -l <"$here/expected-files.txt") files; Depends: $depends"
