#!/usr/bin/env bash
# Run: ctest --test-dir build -R Install.Tree
# Installs the build into a fresh DESTDIR and checks what a desktop sees:
# the tree holds exactly the expected files, the desktop entries and the
# metainfo validate (the metainfo pedantically, with and without the
# network), both they and the manual pages name this version, the manual
# pages format without a warning, the MIME database builds, a folder is
# offered the collection entry only, and the installed viewer without a
# display says so and ends with status 1. Leaves the tree (with its MIME
# database) in ROOT for
# the tests that need it.
# Usage: check-install.sh BUILD_DIR ROOT VERSION
# Needs: desktop-file-utils appstream shared-mime-info man-db (Debian packages).
set -euo pipefail
build=$1
root=$2
version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

here=$(cd "$(dirname "$0")" && pwd)
mapfile -t expected <"$here/expected-files.txt"
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
    fail "the installed tree differs from the expected files (< expected, > installed)"
for program in quorvel quorvel-dump quorvel-thumbnailer; do
    [ -x "$root/usr/bin/$program" ] || fail "$program is not executable"
done
for size in 16 22 24 32 48 64 128 256; do
    for png in "$root"/usr/share/icons/hicolor/${size}x${size}/*/*.png; do
        [[ $(file -b "$png") == *"PNG image data, $size x $size,"* ]] || fail "$png is not $size x $size"
    done
done

for entry in org.example.quorvel org.example.quorvel.collection; do
    desktop-file-validate "$root/usr/share/applications/$entry.desktop" ||
        fail "desktop-file-validate $entry"
done
# Pedantic, offline and with the network: the metainfo names no address
# (home page, screenshot) that would have to resolve, so both pass alike,
# also on a machine without a network.
metainfo=$root/usr/share/metainfo/org.example.quorvel.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate --no-net"
appstreamcli validate --pedantic "$metainfo" || fail "appstreamcli validate (with the network)"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    [[ $(gzip -dc "$page" | sed -n 1p) == *"\"Quorvel $version\""* ]] ||
        fail "$(basename "$page") does not name version $version"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

update-mime-database "$root/usr/share/mime" 2>/dev/null
[ -s "$root/usr/share/mime/mime.cache" ] || fail "update-mime-database wrote no cache"
grep -q '^application/x-mirax-box$' "$root/usr/share/mime/types" ||
    fail "the MIME database does not know application/x-mirax-box"

# As the package's trigger does: then a folder is offered the collection
# entry ("open with Quorvel-Sammlung"), and never the viewer's own, which
# would compete with the file manager; box files are offered the viewer.
update-desktop-database "$root/usr/share/applications"
handlers() {
    env -i HOME="$root/home" PATH="$root/usr/bin:/usr/bin:/bin" XDG_DATA_DIRS="$root/usr/share" \
        python3 -c '
import sys, gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio
print(" ".join(a.get_id() for a in Gio.AppInfo.get_all_for_type(sys.argv[1])))' "$1"
}
[ "$(handlers inode/directory)" = org.example.quorvel.collection.desktop ] ||
    fail "folders are offered '$(handlers inode/directory)', not only the collection entry"
[ "$(handlers application/x-mirax-box)" = org.example.quorvel.desktop ] ||
    fail "box files are offered '$(handlers application/x-mirax-box)', not only the viewer"

# No display: one line on stderr, status 1, no core dump from Qt's abort.
status=0
err=$(env -i HOME="$root" PATH=/usr/bin:/bin "$root/usr/bin/quorvel" 2>&1 >/dev/null) || status=$?
[ "$status" -eq 1 ] || fail "without a display the viewer ended with status $status"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "without a display: $err"
case "$err" in *"no display"*quorvel-dump*) ;; *) fail "unclear message without a display: $err" ;; esac
echo "OK: ${#expected[@]} files installed and valid"
