#!/bin/bash
# Makes a small seed corpus for fuzz_fendral_tiff: tiny TIFFs of every kind the program reads
# (and a few it refuses), each led by the byte that picks the filter settings.
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
n=0
seed() { # seed SETTINGS_BYTE convert-options... : one picture, written as a seed
    local byte=$1
    shift
    picture "$@" "$work/seed.tif"
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
seed 214 -depth 8 -endian msb -compress lzw
seed 231 -depth 8 -compress jpeg -sampling-factor 2x2 -colorspace YCbCr
# Two pages of different kinds.
picture -depth 8 "$work/a.tif"
picture -colorspace gray -depth 16 "$work/b.tif"
convert "$work/a.tif" "$work/b.tif" -compress lzw "$work/two.tif"
{ printf '\x23'; cat "$work/two.tif"; } >"$out/seed-pages"
ls "$out" | wc -l
