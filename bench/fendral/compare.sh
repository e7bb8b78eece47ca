#!/bin/bash
# Side-by-side timing of whole processes on one 4000 x 3000 8-bit RGB noisy picture, uncompressed,
# LZW and Deflate (horizontal predictor, 16 rows a strip): Fendral on both cores and on one
# (taskset -c 0), a plain tiffcp copy with the same compression (single-threaded), and
# ImageMagick's -selective-blur (same disc radius, sigma and threshold). Reports wall time, CPU
# time, peak memory and megapixels per second, then the targets.
#
# usage: bench/fendral/compare.sh [BUILD_FOLDER]    (default: build/release)
# Needs /usr/bin/time (Debian package "time"), tiffcp (libtiff-tools), ImageMagick's convert and
# taskset. RUNS=n repeats each measurement and keeps the fastest (default 3).
set -euo pipefail

build=$(realpath "${1:-build/release}")
fendral=$build/bin/Fendral
make_image=$build/bench/bench_fendral_make_image
runs=${RUNS:-3}
maxdiff=10
width=4000
height=3000
for tool in /usr/bin/time tiffcp convert taskset "$fendral" "$make_image"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A tiffcp_option=([none]=none [lzw]=lzw:2 [deflate]=zip:2)
declare -A magick_option=([none]=None [lzw]=LZW [deflate]=Zip)
for compression in none lzw deflate; do
    "$make_image" "$work/$compression.tif" "$width" "$height" "$compression" 16
done

megapixels=$(echo "scale=2; $width * $height / 1000000" | bc)
# measure NAME INPUT RADIUS COMMAND...: runs it $runs times, keeps the fastest, prints a table row
# and leaves "wall rss_kb" in $work/last.
measure() {
    local name=$1 input=$2 radius=$3 best="" line
    shift 3
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
            echo "$name failed:" >&2; cat "$work/err" >&2; exit 1; }
        line=$(cat "$work/time")
        if [ -z "$best" ] || [ "$(echo "${line%% *} < ${best%% *}" | bc)" = 1 ]; then best=$line; fi
    done
    read -r wall user sys rss <<<"$best"
    printf "%-30s %-8s %6s %8.2f %8.2f %8.0f %8.1f\n" "$name" "$input" "$radius" "$wall" \
        "$(echo "$user + $sys" | bc)" "$(echo "$rss / 1024" | bc)" "$(echo "scale=3; $megapixels / $wall" | bc)"
    echo "$wall $rss" >"$work/last"
}
fendral_row() { # NAME COMPRESSION RADIUS [taskset...]: Fendral on the picture of that compression
    local name=$1 compression=$2 radius=$3
    shift 3
    measure "$name" "$compression" "$radius" "$@" "$fendral" "$radius" "$maxdiff" \
        "$work/$compression.tif" "$work/out.tif"
}

echo "Picture: ${width} x ${height} 8-bit RGB; MAXDIFF $maxdiff; $(nproc) cores; best of $runs"
printf "%-30s %-8s %6s %8s %8s %8s %8s\n" tool input radius "wall s" "cpu s" "peak MB" "MP/s"
verdicts=()
check() { # TEXT CONDITION: records a target's verdict
    verdicts+=("$(printf "  %-62s %s" "$1" "$([ "$(echo "$2" | bc)" = 1 ] && echo met || echo MISSED)")")
}
for compression in lzw deflate; do
    measure "tiffcp copy" "$compression" - \
        tiffcp -c "${tiffcp_option[$compression]}" -r 16 "$work/$compression.tif" "$work/copy.tif"
    read -r copy_wall _ <"$work/last"
    fendral_row "Fendral, 1 core" "$compression" 1 taskset -c 0
    fendral_row "Fendral, $(nproc) cores" "$compression" 1
    read -r wall rss <"$work/last"
    check "$compression radius 1: $wall s <= 0.6 x tiffcp's $copy_wall s" "$wall <= 0.6 * $copy_wall"
    check "$compression radius 1: peak $((rss / 1024)) MB < 150 MB" "$rss < 150 * 1024"
    measure "ImageMagick selective-blur" "$compression" 1 \
        convert "$work/$compression.tif" -selective-blur "1x0.5+$(echo "scale=4; $maxdiff / 2.55" | bc)%" \
        -compress "${magick_option[$compression]}" "$work/out-im.tif"
done
declare -A target=([1]=0.15 [3]=0.25)
for radius in 0 1 3 10; do
    fendral_row "Fendral, $(nproc) cores" none "$radius"
    read -r wall rss <"$work/last"
    if [ -n "${target[$radius]:-}" ]; then
        check "uncompressed radius $radius: $wall s <= ${target[$radius]} s" "$wall <= ${target[$radius]}"
    fi
    check "uncompressed radius $radius: peak $((rss / 1024)) MB < 150 MB" "$rss < 150 * 1024"
done
measure "ImageMagick selective-blur" none 1 \
    convert "$work/none.tif" -selective-blur "1x0.5+$(echo "scale=4; $maxdiff / 2.55" | bc)%" \
    "$work/out-im.tif"

echo
echo "Targets:"
printf "%s\n" "${verdicts[@]}"
