#!/bin/bash
# Peak resident memory of Fendral on large pictures, wide and tall, striped, tiled and in one
# compressed strip, and on one pixel in a tile of 32768 x 32768, against the target: under 150 MB
# at Radius up to 10, plus the compressed strip for a single-strip image (libtiff reads a strip's
# raw bytes whole). Then tiny files declaring sparse 16-bit RGBA pages a million and four million
# pixels wide: under 1 GB, or refused before any work because they would need more.
#
# usage: bench/fendral/memory.sh [BUILD_FOLDER]    (default: build/release)
# Needs /usr/bin/time (Debian package "time"), about 3 GB of free space in TMPDIR, and 7 GB of
# memory for making the tile of 32768 x 32768 (libtiff compresses a tile from a whole one).
# RADIUS=n changes the radius (default 10), FENDRAL=path measures another Fendral, ONLY=text
# measures only the pictures whose line holds it.
set -euo pipefail

build=$(realpath "${1:-build/release}")
fendral=${FENDRAL:-$build/bin/Fendral}
make_image=$build/bench/bench_fendral_make_image
radius=${RADIUS:-10}
for tool in /usr/bin/time "$fendral" "$make_image"; do
    [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Fendral $radius 10 on 8-bit RGB pictures; peak resident memory; $(nproc) cores"
printf "%-34s %9s %8s %9s %9s\n" picture "file MB" "wall s" "peak MB" "target"
# name width height compression layout (rows per strip or tile:side)
while read -r name width height compression layout; do
    "$make_image" "$work/in.tif" "$width" "$height" "$compression" "$layout"
    file_kb=$(($(stat -c %s "$work/in.tif") / 1024))
    refused=
    /usr/bin/time -f "%e %M" -o "$work/time" \
        "$fendral" "$radius" 10 "$work/in.tif" "$work/out.tif" 2>"$work/err" ||
        refused=$(grep -o "would take [0-9]* MB" "$work/err") || {
            echo "$name failed:" >&2; cat "$work/err" >&2; exit 1; }
    read -r wall rss < <(tail -n 1 "$work/time")
    limit=$((150 * 1024))
    [ "$compression" = sparse ] && limit=$((1024 * 1024))
    # A single strip's compressed bytes are allowed on top.
    [ "$layout" -ge "$height" ] 2>/dev/null && [ "$compression" != none ] && limit=$((limit + file_kb))
    verdict=$([ "$rss" -lt "$limit" ] && echo met || echo MISSED)
    [ -n "$refused" ] && verdict="refused: $refused"
    printf "%-34s %9d %8.2f %9d %9s\n" "$name" $((file_kb / 1024)) "$wall" $((rss / 1024)) "$verdict"
    rm -f "$work/in.tif" "$work/out.tif"
done < <(grep -F -- "${ONLY:-}" <<'PICTURES'
4000x3000,strips 4000 3000 none 16
16000x12000,strips 16000 12000 none 16
16000x12000,LZW,256-tiles 16000 12000 lzw tile:256
30000x30000,strips 30000 30000 none 16
1000000x1,Deflate 1000000 1 deflate 1
16000x12000,Deflate,one-strip 16000 12000 deflate 12000
1x1,Deflate,one-32768-tile 1 1 deflate tile:32768
1048576x1024,RGBA16,sparse 1048576 1024 sparse 64
4194304x1024,RGBA16,sparse 4194304 1024 sparse 64
PICTURES
)
