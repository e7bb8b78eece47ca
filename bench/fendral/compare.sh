#!/bin/bash
# Side-by-side timing of whole processes on one 4000 x 3000 8-bit RGB noisy picture, uncompressed,
# LZW and Deflate (horizontal predictor, 16 rows a strip). For each: a plain tiffcp copy with the
# same compression (single-threaded), a vips copy with the same compression and predictor (its own
# thread pool), Fendral at Radius 1, each of these two on one core (taskset -c 0) and on all (a
# Fendral row names the workers it ran), and ImageMagick's -selective-blur (same disc radius,
# sigma and threshold). Then Fendral at other radii on the uncompressed picture, and at Radius 1
# on the same picture with 16-bit and 32-bit floating-point samples. Reports wall time, CPU
# time, peak memory and megapixels per
# second, then the targets.
#
# usage: bench/fendral/compare.sh [BUILD_FOLDER]    (default: build/release)
# Installs what it compares against when missing (bench/fendral/install-bench-deps.sh). RUNS=n
# repeats each measurement and keeps the fastest (default 3). BEFORE=path also times that Fendral
# (an older build) at Radius 10, where the target is to be no slower than it, and at Radius 1 on
# the 8- and 16-bit pictures.
set -euo pipefail

"$(dirname "$0")/install-bench-deps.sh"
build=$(realpath "${1:-build/release}")
fendral=$build/bin/Fendral
make_image=$build/bench/bench_fendral_make_image
runs=${RUNS:-3}
maxdiff=10
width=4000
height=3000
cores=$(nproc)
for tool in /usr/bin/time tiffcp vips convert taskset script "$fendral" "$make_image" ${BEFORE:-}; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A tiffcp_option=([none]=none [lzw]=lzw:2 [deflate]=zip:2)
declare -A vips_option=([none]=none [lzw]=lzw,predictor=horizontal
    [deflate]=deflate,predictor=horizontal)
declare -A magick_option=([none]=None [lzw]=LZW [deflate]=Zip)
for compression in none lzw deflate; do
    "$make_image" "$work/$compression.tif" "$width" "$height" "$compression" 16
done

megapixels=$(echo "scale=2; $width * $height / 1000000" | bc)
# measure NAME INPUT RADIUS COMMAND...: runs it $runs times, keeps the fastest, prints a table row
# and leaves "wall rss_kb" in $work/last.
measure() {
    local name=$1 input=$2 radius=$3 best="" line wall user sys rss
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
# on_cores NAME INPUT RADIUS COMMAND...: measures it on one core, then on all; the last stays.
on_cores() {
    local name=$1 input=$2 radius=$3
    shift 3
    measure "$name, 1 core" "$input" "$radius" taskset -c 0 "$@"
    measure "$name, $cores cores" "$input" "$radius" "$@"
}
# workers COMMAND...: "N worker(s)", as Fendral's last line says on a terminal (script gives it one).
workers() {
    script -qec "$(printf '%q ' "$@")" /dev/null | tr -d '\r' |
        sed -n 's/.* s on \([0-9]* workers\{0,1\}\)$/\1/p'
}
# fendral_rows COMPRESSION RADIUS: Fendral on the picture of that compression, on one core, then on
# all, each row naming the workers it ran; the last stays.
fendral_rows() {
    local run=("$fendral" "$2" "$maxdiff" "$work/$1.tif" "$work/out.tif")
    measure "Fendral, 1 core, $(workers taskset -c 0 "${run[@]}")" "$1" "$2" taskset -c 0 "${run[@]}"
    measure "Fendral, $cores cores, $(workers "${run[@]}")" "$1" "$2" "${run[@]}"
}
verdicts=()
check() { # TEXT CONDITION: records a target's verdict
    verdicts+=("$(printf "  %-66s %s" "$1" "$([ "$(echo "$2" | bc)" = 1 ] && echo met || echo MISSED)")")
}
check_peak() { # WHAT RSS_KB
    check "$1: peak $(($2 / 1024)) MB < 150 MB" "$2 < 150 * 1024"
}

echo "Picture: ${width} x ${height} 8-bit RGB; MAXDIFF $maxdiff; $cores cores; best of $runs"
printf "%-30s %-8s %6s %8s %8s %8s %8s\n" tool input radius "wall s" "cpu s" "peak MB" "MP/s"
for compression in none lzw deflate; do
    measure "tiffcp copy" "$compression" - \
        tiffcp -c "${tiffcp_option[$compression]}" -r 16 "$work/$compression.tif" "$work/copy.tif"
    read -r copy_wall _ <"$work/last"
    [ "$compression" = none ] && copy_none=$copy_wall
    on_cores "vips copy" "$compression" - \
        vips copy "$work/$compression.tif" "$work/copy.tif[compression=${vips_option[$compression]}]"
    read -r vips_wall _ <"$work/last"
    fendral_rows "$compression" 1
    read -r wall rss <"$work/last"
    if [ "$compression" != none ]; then
        check "$compression radius 1: $wall s <= 0.6 x tiffcp's $copy_wall s" "$wall <= 0.6 * $copy_wall"
    fi
    check "$compression radius 1: $wall s <= vips copy's $vips_wall s" "$wall <= $vips_wall"
    if [ "$compression" = none ]; then
        check "none radius 1: $wall s <= 0.15 s" "$wall <= 0.15"
    fi
    check_peak "$compression radius 1" "$rss"
    measure "ImageMagick selective-blur" "$compression" 1 \
        convert "$work/$compression.tif" -selective-blur "1x0.5+$(echo "scale=4; $maxdiff / 2.55" | bc)%" \
        -compress "${magick_option[$compression]}" "$work/out-im.tif"
done
for radius in 0 3 10; do
    fendral_rows none "$radius"
    read -r wall rss <"$work/last"
    if [ "$radius" = 3 ]; then
        check "none radius 3: $wall s <= 8.7 x tiffcp's $copy_none s" "$wall <= 8.7 * $copy_none"
        check "none radius 3: $wall s <= 0.25 s" "$wall <= 0.25"
    fi
    check_peak "none radius $radius" "$rss"
done
wall10=$wall
# The same picture with wider samples, uncompressed: floating point at most twice 16-bit's time.
for kind in 16 float; do
    "$make_image" "$work/none-$kind.tif" "$width" "$height" "none:$kind" 16
    on_cores "Fendral RGB $kind" none 1 "$fendral" 1 "$maxdiff" "$work/none-$kind.tif" "$work/out.tif"
    read -r wall rss <"$work/last"
    [ "$kind" = 16 ] && wall16=$wall
done
check "float32 radius 1: $wall s <= 2 x 16-bit's $wall16 s" "$wall <= 2 * $wall16"
if [ -n "${BEFORE:-}" ]; then
    measure "Fendral before, $cores cores" none 10 "$BEFORE" 10 "$maxdiff" "$work/none.tif" "$work/out.tif"
    read -r before_wall _ <"$work/last"
    check "none radius 10: $wall10 s <= the earlier build's $before_wall s" "$wall10 <= $before_wall"
    # The 8- and 16-bit rows at Radius 1 of the earlier build, beside this one's above.
    for input in none none-16; do
        measure "Fendral before, $cores cores" "$input" 1 \
            "$BEFORE" 1 "$maxdiff" "$work/$input.tif" "$work/out.tif"
    done
fi

echo
echo "Targets:"
printf "%s\n" "${verdicts[@]}"
