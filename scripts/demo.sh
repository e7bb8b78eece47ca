#!/usr/bin/env bash
# A demonstration job on the current X display: starts PROGRAM in FOLDER, whose images its input
# list shows, picks the second image, types an output name, presses Run Fendral and waits for the
# result in FOLDER. Leaves a screenshot of the window and the terminal that Run opened.
# PROGRAM may be a desktop entry's command line: its "%f" is replaced by FILE, which the program
# is started with and which is then chosen already (no image is picked), or dropped without FILE.
# Usage: demo.sh PROGRAM FOLDER SCREENSHOT_FOLDER [FILE]
set -euo pipefail
read -ra command <<<"$1"
file=${4:-}
# Started from FOLDER: a path is made absolute, a bare name is looked up on the search path.
[[ "${command[0]}" != */* ]] || command[0]=$(realpath "${command[0]}")
program=()
for word in "${command[@]}"; do
    if [ "$word" != "%f" ]; then
        program+=("$word")
    elif [ -n "$file" ]; then
        program+=("$file")
    fi
done
folder=$(realpath "$2")
mkdir -p "$3"
out=$(realpath "$3")
output_name=demo-smoothed.tif
rm -f "$folder/$output_name"

# The terminal opens beside the window, so the screenshot shows it; the job waits there for Enter.
terminal="$out/hold-terminal"
rm -f "$terminal.pid"
printf '#!/bin/sh\necho $$ >"%s.pid"\nexec xterm -fa Monospace -fs 9 -geometry 80x14+400+40 "$@"\n' \
    "$terminal" >"$terminal"
chmod +x "$terminal"
export TERMINAL="$terminal"
# On the X display that xdotool drives, whatever the caller's environment says.
export QT_QPA_PLATFORM=xcb
# Qt wants a private runtime folder; a bare session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$out/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi

# Started in FOLDER, the lists show its images.
(cd "$folder" && exec "${program[@]}") &
app=$!
# The terminal still waits for Enter: it goes at once, before the virtual display does (told to
# end, it would complain of the lost display).
stop() {
    kill "$app" 2>/dev/null || true
    [ ! -f "$terminal.pid" ] || kill -KILL "$(cat "$terminal.pid")" 2>/dev/null || true
}
trap stop EXIT

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^FendralWin$' | head -n 1)
sleep 1
# Client-area positions of the controls, in pixels at 96 DPI.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }
[ -n "$file" ] || click 40 220  # the second file of the input list
click 280 211                   # the output name box
xdotool type --delay 20 "$output_name"
sleep 0.3
click 320 411                   # Run Fendral

for _ in $(seq 1 100); do
    [ -f "$folder/$output_name" ] && break
    sleep 0.2
done
sleep 1
import -window root "$out/screenshot.png"

if [ -f "$folder/$output_name" ]; then
    echo "Demonstration job done."
    echo "  screenshot:   $out/screenshot.png"
    echo "  output image: $folder/$output_name"
else
    echo "The demonstration job wrote no output; see $out/screenshot.png" >&2
    exit 1
fi
