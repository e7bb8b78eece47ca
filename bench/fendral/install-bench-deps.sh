#!/bin/bash
# Installs what the Fendral benchmark scripts measure with and compare against, beyond what the
# program itself needs (scripts/install-deps.sh): vips, tiffcp, ImageMagick, GNU time, bc and
# taskset. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(libvips-tools libtiff-tools imagemagick time bc util-linux)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing for the benchmarks: ${missing[*]}"
root=()
[ "$(id -u)" -eq 0 ] || root=(sudo)
"${root[@]}" apt-get update -qq
"${root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
