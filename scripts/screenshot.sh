#!/usr/bin/env bash
# Writes PNG pictures of the main window under a virtual X server, so that the
# window can be looked at without a desktop:
#
#     bash scripts/screenshot.sh [OUTPUT_FOLDER]     (default: screenshots/)
#
# main-window.png shows the window after a file was selected by its argument;
# size-calculator.png, settings.png, help.png and about.png show the dialogs,
# the help window and the about box opened from it with the keyboard, and
# whats-this.png a what's-this popup over the window.
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-screenshots}")
mkdir -p "$output"

bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARN_TESTS=OFF -DVARN_BENCH=OFF >/dev/null
cmake --build build --parallel "$(nproc)" >/dev/null

# Settings, file types and the instance socket live in a throw-away home.
work=$(mktemp -d)
cleanup() {
    [[ -n ${program:-} ]] && kill "$program" 2>/dev/null || true
    [[ -n ${server:-} ]] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/files"
chmod 700 "$XDG_RUNTIME_DIR"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

head -c 3000000 /dev/urandom >"$work/files/holiday-video.avi"
build/bin/varnsplit "$work/files/holiday-video.avi" &
program=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "holiday-video.avi — Varn split" | head -n 1)
sleep 1 # the trees fill their first levels
import -window "$window" "$output/main-window.png"
echo "$output/main-window.png"

# Opens a dialog with the keys given, pictures it as NAME.png and closes it.
dialog() {
    local name=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers --delay 80 "$@"
    local shown
    shown=$(timeout 10 xdotool search --sync --onlyvisible --name "$title" | tail -n 1)
    sleep 0.7
    import -window "$shown" "$output/$name.png"
    echo "$output/$name.png"
    xdotool key --clearmodifiers Escape
    sleep 0.5
}
# Every dialog bears the program's name alone.
title="^Varn split$"
dialog size-calculator alt+Cyrillic_zhe Tab Tab space
dialog settings alt+Cyrillic_yu
dialog about alt+Cyrillic_pe
title="^Довідка — Varn split$"
dialog help alt+Cyrillic_de

# What's-this help: "Що це таке?" from the information panel's right-click
# menu, its topic shown as a popup at the point (the whole screen is taken,
# since the popup is a window of its own).
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 500 330 click 3
sleep 0.5
xdotool key --delay 80 Down Return
sleep 0.7
import -window root "$output/whats-this.png"
echo "$output/whats-this.png"
xdotool key Escape
