#!/bin/bash
# Makes a small seed corpus for fuzz_fendral_tiff: tiny TIFFs of every kind the program reads
# (and a few it refuses), and hostile ones whose blocks are missing, short or sparse, or whose
# tiles are far larger than the image; each led by the byte that picks the filter settings.
# usage: make_seed_corpus.sh FOLDER   (needs ImageMagick's convert)
set -euo pipefail
out=${1:?usage: make_seed_corpus.sh FOLDER}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture() { # a small picture with edges and noise, in the given colour type
    convert -size 19x13 gradient:red-blue -fill white -draw 'circle 9,6 9,2' \
        -attenuate 0.4 +noise Uniform -alpha off "$@"
}
# patch FILE TAG INDEX VALUE: sets value INDEX of a tag (SHORT or LONG values) of the first page
# of a little-endian classic TIFF, as convert writes here; INDEX n sets how many values it has.
patch() {
    local file=$1 tag=$2 index=$3 value=$4 ifd entry at size
    number() { od -An -t "u$2" -j "$1" -N "$2" "$file" | tr -d ' '; }
    ifd=$(number 4 4)
    for ((entry = ifd + 2; entry < ifd + 2 + 12 * $(number "$ifd" 2); entry += 12)); do
        [ "$(number "$entry" 2)" = "$tag" ] || continue
        size=$([ "$(number $((entry + 2)) 2)" = 3 ] && echo 2 || echo 4)
        at=$((entry + 8))
        [ $(($(number $((entry + 4)) 4) * size)) -gt 4 ] && at=$(number $((entry + 8)) 4)
        [ "$index" = n ] && at=$((entry + 4)) size=4 index=0
        printf %b "$(printf '\\x%02x' $((value & 255)) $((value >> 8 & 255)) $((value >> 16 & 255)) \
            $((value >> 24 & 255)))" | head -c "$size" |
            dd of="$file" bs=1 seek=$((at + index * size)) conv=notrunc status=none
    done
}
n=0
patches=""
seed() { # seed SETTINGS_BYTE convert-options... : one picture, patched by $patches, as a seed
    local byte=$1
    shift
    picture "$@" "$work/seed.tif"
    # shellcheck disable=SC2086 # TAG INDEX VALUE, as words
    set -- $patches
    while [ $# -ge 3 ]; do
        patch "$work/seed.tif" "$1" "$2" "$3"
        shift 3
    done
    n=$((n + 1))
    { printf "\\x$(printf %02x "$byte")"; cat "$work/seed.tif"; } >"$out/seed-$n"
}

seed 10 -depth 8 -compress none
seed 27 -depth 16 -compress lzw
seed 44 -colorspace gray -depth 8 -compress zip
seed 61 -colorspace gray -depth 16 -compress none -define tiff:tile-geometry=16x16
seed 78 -alpha set -channel A -evaluate set 50% +channel -depth 8 -compress rle
seed 95 -alpha set -depth 16 -interlace plane -compress lzw
seed 112 -colorspace gray -alpha set -depth 8 -define tiff:alpha=associated -compress none
seed 129 -depth 8 -compress jpeg
seed 146 -depth 8 -interlace plane -define tiff:tile-geometry=16x16 -compress zip
seed 163 -type palette -depth 8 -compress none
seed 180 -type bilevel -compress none
seed 197 -colorspace cmyk -depth 8 -compress none
# The wider kinds: inks with alpha, grey at 2 and 4 bits, 32-bit integers, floating point (with
# and without its predictor), palettes of 4-bit indices.
seed 40 -colorspace cmyk -alpha set -depth 16 -compress lzw
seed 57 -colorspace gray -depth 4 -compress none
seed 74 -colorspace gray -depth 2 -compress lzw -define tiff:tile-geometry=16x16
seed 91 -colorspace gray -depth 32 -compress none
seed 108 -define quantum:format=floating-point -depth 32 -compress lzw -define tiff:predictor=1
seed 125 -define quantum:format=floating-point -depth 32 -compress zip -define tiff:predictor=3
seed 142 -define quantum:format=floating-point -depth 16 -compress lzw -define tiff:predictor=3
seed 159 -colorspace gray -define quantum:format=floating-point -depth 64 -compress zip
seed 176 -colors 16 -type palette -depth 4 -compress none
seed 193 -colors 4 -type palette -depth 2 -compress lzw
seed 214 -depth 8 -endian msb -compress lzw
seed 231 -depth 8 -compress jpeg -sampling-factor 2x2 -colorspace YCbCr
hostile() { # hostile SETTINGS_BYTE "TAG INDEX VALUE..." convert-options...: strips of 4 rows
    local byte=$1
    patches=$2
    shift 2
    seed "$byte" -define tiff:rows-per-strip=4 "$@"
    patches=""
}
hostile 12 "273 1 0" -depth 8 -compress none                    # a strip at offset 0
hostile 29 "279 1 60000" -depth 8 -compress lzw                 # one running past the end
hostile 46 "279 3 10" -colorspace gray -depth 8 -compress none  # one short
hostile 63 "279 1 0" -depth 8 -compress zip                     # a sparse one
tiles=tiff:tile-geometry=16x16
hostile 80 "325 1 40" -depth 8 -compress jpeg -define $tiles    # a JPEG tile cut short
hostile 97 "325 0 0" -depth 16 -compress zip -define $tiles     # a sparse tile
hostile 148 "273 n 2" -depth 8 -compress lzw                   # offsets for 2 of its 4 strips
hostile 165 "325 n 1" -depth 8 -compress zip -define $tiles     # byte counts for 1 of 2 tiles
# A page 60000 pixels wide whose every strip is sparse.
hostile 182 "256 0 60000 279 0 0 279 1 0 279 2 0 279 3 0" -depth 16 -compress zip
# Tiles far larger than the image: one that may be read, one whose rows would need too much.
seed 114 -depth 8 -compress zip -define tiff:tile-geometry=1024x1024
hostile 131 "322 0 32768 323 0 32768 257 0 16384" -colorspace gray -compress zip -define $tiles
# Samples reread as signed (SampleFormat 2), and RGBA reread as grey with three extra samples.
patches="339 0 2" seed 210 -colorspace gray -define quantum:format=floating-point -depth 32 -compress lzw -define tiff:predictor=1
patches="339 0 2" seed 227 -colorspace gray -define quantum:format=floating-point -depth 16 -compress zip -define tiff:predictor=1
patches="262 0 1" seed 244 -alpha set -depth 8 -compress none
# Two pages of different kinds.
picture -depth 8 "$work/a.tif"
picture -colorspace gray -depth 16 "$work/b.tif"
convert "$work/a.tif" "$work/b.tif" -compress lzw "$work/two.tif"
{ printf '\x23'; cat "$work/two.tif"; } >"$out/seed-pages"
ls "$out" | wc -l
