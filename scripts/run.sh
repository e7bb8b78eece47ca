#!/usr/bin/env bash
# Installs what is missing, builds FendralWin with Fendral and the sample images, and starts it.
# Without a display it runs a demonstration job on a virtual one instead and says where its
# screenshot and output image are.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target FendralWin Fendral fendral_samples

program_folder=build/release/bin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    # Started in its own folder, the lists show the sample images.
    cd "$program_folder"
    exec ./FendralWin
fi
echo "No display: running a demonstration job on a virtual display."
xvfb-run -a -s "-screen 0 1024x640x24" \
    scripts/demo.sh "$program_folder/FendralWin" "$program_folder" build/demo
