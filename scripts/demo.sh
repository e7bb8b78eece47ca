#!/usr/bin/env bash
# A demonstration job on the current X display: picks the second sample image in FendralWin's
# input list, types an output name, presses Run Fendral and waits for the result. Leaves a
# screenshot of the window and the terminal that Run opened.
# Usage: demo.sh PROGRAM_FOLDER OUTPUT_FOLDER
set -euo pipefail
program_folder=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
output_name=demo-smoothed.tif
rm -f "$program_folder/$output_name"

# The terminal opens beside the window, so the screenshot shows it; the job waits there for Enter.
terminal_pattern="xterm -fa Monospace -fs 9 -geometry 80x14+400+40"
terminal="$out/hold-terminal"
printf '#!/bin/sh\nexec %s "$@"\n' "$terminal_pattern" >"$terminal"
chmod +x "$terminal"
export TERMINAL="$terminal"
# Qt wants a private runtime folder; a bare session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$out/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi

# Started in its own folder, the lists show the sample images.
(cd "$program_folder" && exec ./FendralWin) &
app=$!
# The terminal still waits for Enter: it goes at once, before the virtual display does ("+" is
# literal in its command line, not a pattern).
trap 'kill $app 2>/dev/null || true; pkill -KILL -f "${terminal_pattern//+/\\+}" || true' EXIT

window=$(xdotool search --sync --onlyvisible --name '^FendralWin$' | head -n 1)
sleep 1
# Client-area positions of the controls, in pixels at 96 DPI.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }
click 40 220                    # the second file of the input list
click 280 211                   # the output name box
xdotool type --delay 20 "$output_name"
sleep 0.3
click 320 411                   # Run Fendral

for _ in $(seq 1 100); do
    [ -f "$program_folder/$output_name" ] && break
    sleep 0.2
done
sleep 1
import -window root "$out/screenshot.png"

if [ -f "$program_folder/$output_name" ]; then
    echo "Demonstration job done."
    echo "  screenshot:   $out/screenshot.png"
    echo "  output image: $program_folder/$output_name"
else
    echo "The demonstration job wrote no output; see $out/screenshot.png" >&2
    exit 1
fi
