#!/usr/bin/env bash
# The built program under a virtual X server, driven by keys and clicks: a file
# split with the size calculator's block size, united again, bytes compared.
# Usage: bash window_end_to_end.sh PATH/TO/varnsplit
set -euo pipefail
program=$(realpath "$1")

work=$(mktemp -d /tmp/varn-e2e.XXXXXX)
cleanup() {
    [[ -n ${window_pid:-} ]] && kill "$window_pid" 2>/dev/null || true
    [[ -n ${server:-} ]] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    [[ -f $work/window.log ]] && cat "$work/window.log" >&2
    exit 1
}

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/files" "$work/out"
chmod 700 "$XDG_RUNTIME_DIR"
# What the toolkit and the desktop libraries keep until exit is not ours.
printf 'leak:libfontconfig\nleak:libdbus\nleak:libglib\nleak:libxcb\nleak:libX11\nleak:libQt6\n' \
    >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
[[ -s $work/display ]] || fail "no X server"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

head -c 3000000 /dev/urandom >"$work/files/report.dat"

# Prints the id of the first visible window whose title matches.
wait_window() {
    timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}
focus_main() {
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.3
}
key() {
    xdotool key --clearmodifiers --delay 60 "$@"
    sleep 0.3
}
# Starts the program on a file and waits for its window to show it selected.
start() {
    "$program" "$1" >>"$work/window.log" 2>&1 &
    window_pid=$!
    main=$(wait_window "$(basename "$1") — Varn split") || fail "the window did not select $1"
    [[ -n $main ]] || fail "the window did not select $1"
    focus_main
    sleep 0.7
}
# Without a window manager nothing sends a close request: the exit button's key.
quit() {
    key alt+Cyrillic_i
    for _ in $(seq 100); do
        kill -0 "$window_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "the exit button did not end the program"
}
# The target tree, by its label's key: from the computer to the folder by typing.
choose_target() {
    key alt+Cyrillic_en
    key Home Right Right
    for folder in tmp "$(basename "$work")"; do
        xdotool type --delay 80 "$folder"
        key Right
    done
    xdotool type --delay 80 "$1"
    sleep 0.5
}
# Clicks the action button (top of the button column), confirms a split, and
# takes the message that ends the operation.
go() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove --window "$main" $((WIDTH - 55)) 20 click 1
    sleep 0.5
    if [[ $1 == Розбивка* ]]; then
        wait_window "^Varn split$" >/dev/null || fail "no confirmation"
        key alt+Cyrillic_te
    fi
    wait_window "$1" >/dev/null || fail "no message \"$1\""
    key Return
    # Without a window manager the focus does not come back by itself.
    focus_main
}

# The size calculator, reached by Tab from the mode list's key, is asked for four
# blocks: 3,000,000 bytes and the 38-byte header make 750,011 each, 750,005 last.
start "$work/files/report.dat"
choose_target out
key alt+Cyrillic_zhe
key Tab Tab space
wait_window "^Varn split$" >/dev/null || fail "no size calculator"
key ctrl+a
xdotool type --delay 80 "4"
key Return
focus_main
go "Розбивка завершена"
pieces=$(cd "$work/out" && for piece in *; do echo "$piece $(stat -c %s "$piece")"; done)
expected=$'report.001 750011\nreport.002 750011\nreport.003 750005\nreport.sha256 385\nreport.vrn 750011'
[[ $pieces == "$expected" ]] || fail "the calculated size gave other pieces: $pieces"
quit

# A new start on the first piece unites the set into the same folder.
start "$work/out/report.vrn"
choose_target out
go "Об'єднання завершено"
cmp "$work/files/report.dat" "$work/out/report.dat" || fail "the rebuilt file differs"
quit
window_pid=
echo "window end to end: a split with the calculated size and its unite give the same bytes"
