#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; only the missing
# ones, so a second run costs nothing.
set -euo pipefail
pkgs=(cmake g++ make pkg-config qt6-base-dev libgl-dev zlib1g-dev libgtest-dev libgmock-dev
      libbenchmark-dev python3 jq xvfb xauth xdotool imagemagick time)
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
