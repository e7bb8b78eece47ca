#!/bin/bash
# Time against the number of pages: Fendral at Radius 1 on files of N pages of one 1 x 1 RGB pixel,
# uncompressed, next to a tiffcp copy of the same file. The time per page should stay flat, and
# 10,000 pages take at most 10 times tiffcp's copy.
#
# usage: bench/fendral/pages.sh [BUILD_FOLDER]    (default: build/release)
# Needs /usr/bin/time (Debian package "time") and tiffcp (libtiff-tools). PAGES="..." changes the
# page counts, FENDRAL=path times another Fendral (an older build, say).
set -euo pipefail

build=$(realpath "${1:-build/release}")
fendral=${FENDRAL:-$build/bin/Fendral}
make_image=$build/bench/bench_fendral_make_image
pages_list=${PAGES:-500 1000 2000 4000 10000}
for tool in /usr/bin/time tiffcp "$fendral" "$make_image"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() { # COMMAND...: its wall time
    /usr/bin/time -f %e -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
        echo "failed: $*" >&2; cat "$work/err" >&2; exit 1; }
    cat "$work/time"
}

echo "Fendral 1 10 on N pages of 1 x 1 RGB, uncompressed; $(nproc) cores"
printf "%8s %9s %9s %10s %12s %10s\n" pages "file KB" "tiffcp s" "Fendral s" "ms per page" "x tiffcp"
for pages in $pages_list; do
    "$make_image" "$work/in.tif" 1 1 none 1 "$pages"
    copy=$(seconds tiffcp "$work/in.tif" "$work/copy.tif")
    wall=$(seconds "$fendral" 1 10 "$work/in.tif" "$work/out.tif")
    printf "%8d %9d %9.2f %10.2f %12.3f %10.1f\n" "$pages" $(($(stat -c %s "$work/in.tif") / 1024)) \
        "$copy" "$wall" "$(echo "scale=4; 1000 * $wall / $pages" | bc)" \
        "$(echo "scale=2; $wall / ($copy + 0.005)" | bc)"
    rm -f "$work/in.tif" "$work/copy.tif" "$work/out.tif"
done
echo "(x tiffcp divides by tiffcp's time plus 5 ms, the resolution of the timer)"
