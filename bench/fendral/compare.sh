#!/bin/bash
# Side-by-side timing of whole processes on one 4000 x 3000 8-bit RGB noisy uncompressed TIFF:
# Fendral, ImageMagick's -selective-blur (same disc radius, sigma and threshold) and OpenCV's
# bilateralFilter (same window). Reports wall time, CPU time, peak memory and megapixels per
# second, then Fendral's speed-up over ImageMagick against the targets.
#
# usage: bench/fendral/compare.sh [path/to/Fendral]    (default: build/release/bin/Fendral)
# Needs /usr/bin/time (Debian package "time"), ImageMagick's convert, python3 with OpenCV and
# NumPy (Debian python3-opencv). RUNS=n repeats each measurement and keeps the fastest.
set -euo pipefail

fendral=$(realpath "${1:-build/release/bin/Fendral}")
python=${PYTHON:-/usr/bin/python3}
runs=${RUNS:-1}
maxdiff=10
width=4000
height=3000
for tool in /usr/bin/time convert "$python" "$fendral"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (for /usr/bin/time: apt-get install time)" >&2; exit 1; }
done
"$python" -c 'import cv2, numpy' || { echo "missing: OpenCV for $python (apt-get install python3-opencv)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A picture with flat areas and edges, plus Gaussian noise (sigma 12 levels), fixed seed.
"$python" - "$work/in.tif" "$width" "$height" <<'PY'
import sys, numpy as np, cv2
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
y, x = np.mgrid[0:h, 0:w]
img = np.empty((h, w, 3), np.float32)
img[..., 0], img[..., 1], img[..., 2] = 40 + 120 * x / w, 60 + 90 * y / h, 130
img[(x - 0.3 * w) ** 2 + (y - 0.43 * h) ** 2 < (0.175 * w) ** 2] = (205, 60, 50)
img[(x > 0.52 * w) & (x < 0.9 * w) & (y > 0.13 * h) & (y < 0.47 * h)] = (50, 165, 85)
img += np.random.default_rng(1).normal(0, 12, img.shape)
cv2.imwrite(path, np.clip(img, 0, 255).astype(np.uint8), [cv2.IMWRITE_TIFF_COMPRESSION, 1])
PY

cat >"$work/bilateral.py" <<'PY'
import sys, cv2
src, dst, d, sigma_colour, sigma_space = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5])
cv2.imwrite(dst, cv2.bilateralFilter(cv2.imread(src, cv2.IMREAD_UNCHANGED), d, sigma_colour, sigma_space),
            [cv2.IMWRITE_TIFF_COMPRESSION, 1])
PY

megapixels=$(echo "scale=2; $width * $height / 1000000" | bc)
# measure NAME RADIUS COMMAND...: runs it $runs times, keeps the fastest, prints a table row and
# leaves "wall rss_kb" in $work/last.
measure() {
    local name=$1 radius=$2 best="" line
    shift 2
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
            echo "$name failed:" >&2; cat "$work/err" >&2; exit 1; }
        line=$(cat "$work/time")
        if [ -z "$best" ] || [ "$(echo "${line%% *} < ${best%% *}" | bc)" = 1 ]; then best=$line; fi
    done
    read -r wall user sys rss <<<"$best"
    printf "%-28s %6s %9.2f %9.2f %9.0f %9.1f\n" "$name" "$radius" "$wall" \
        "$(echo "$user + $sys" | bc)" "$(echo "$rss / 1024" | bc)" "$(echo "scale=3; $megapixels / $wall" | bc)"
    echo "$wall $rss" >"$work/last"
}

echo "Image: ${width} x ${height} 8-bit RGB, uncompressed; MAXDIFF $maxdiff; $(nproc) cores; best of $runs"
printf "%-28s %6s %9s %9s %9s %9s\n" tool radius "wall s" "cpu s" "peak MB" "MP/s"
summary=""
for radius in 1 3 10; do
    sigma=$(echo "scale=2; $radius / 2" | bc)
    percent=$(echo "scale=4; $maxdiff / 2.55" | bc)
    measure Fendral "$radius" "$fendral" "$radius" "$maxdiff" "$work/in.tif" "$work/out.tif"
    read -r fendral_wall fendral_rss <"$work/last"
    measure "ImageMagick selective-blur" "$radius" \
        convert "$work/in.tif" -selective-blur "${radius}x${sigma}+${percent}%" "$work/out-im.tif"
    read -r magick_wall _ <"$work/last"
    measure "OpenCV bilateralFilter" "$radius" \
        "$python" "$work/bilateral.py" "$work/in.tif" "$work/out-cv.tif" $((2 * radius + 1)) "$maxdiff" "$sigma"
    summary+="$radius $fendral_wall $magick_wall $fendral_rss"$'\n'
done

echo
echo "Fendral against ImageMagick (wall time), and Fendral's peak memory:"
while read -r radius fendral_wall magick_wall rss; do
    [ -n "$radius" ] || continue
    case $radius in 1) target=5 ;; 3) target=12 ;; 10) target=30 ;; esac
    ratio=$(echo "scale=1; $magick_wall / $fendral_wall" | bc)
    verdict=$([ "$(echo "$ratio >= $target" | bc)" = 1 ] && echo met || echo MISSED)
    memory=$([ "$rss" -lt $((150 * 1024)) ] && echo met || echo MISSED)
    printf "  radius %2s: %6.1fx faster (target %2sx: %s), peak %4d MB (target < 150 MB: %s)\n" \
        "$radius" "$ratio" "$target" "$verdict" $((rss / 1024)) "$memory"
done <<<"$summary"
