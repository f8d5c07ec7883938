#!/usr/bin/env bash
# Installs the Debian packages the project needs; only the missing ones, so a
# second run costs nothing.
#   tools/install-deps.sh        everything: building, running and testing
#   tools/install-deps.sh --run  only what building and running the programs
#                                needs (the quick start's run command)
set -euo pipefail
# qt6-translations-l10n: Qt's own menus and dialogs in German.
# libsqlite3-dev: the collection index (SQLite with FTS5).
run_pkgs=(cmake g++ make pkg-config qt6-base-dev libgl-dev zlib1g-dev libsqlite3-dev python3
          qt6-translations-l10n)
# Tests, benchmarks and the checks of the installed files and the package;
# libjpeg-turbo-progs: jpegtran makes the hostile arithmetic-coded JPEGs;
# sqlite3: the collection bench counts films with the shell; xclip: the
# collection window's Xvfb check reads the clipboard.
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev jq xvfb xauth xdotool xclip imagemagick
           desktop-file-utils appstream python3-gi gir1.2-glib-2.0 shared-mime-info man-db lintian
           dpkg-dev file time libjpeg-turbo-progs sqlite3)
case "${1:-}" in
    --run) pkgs=("${run_pkgs[@]}") ;;
    "") pkgs=("${run_pkgs[@]}" "${test_pkgs[@]}") ;;
    *) echo "usage: $0 [--run]" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
