#!/usr/bin/env bash
# Time from the program's start to the main window's first paint, under a
# virtual X server, against the same program's "--help" (which loads no
# window), in one run:
#
#     bash bench/ui/startup.sh PATH/TO/varnsplit [RUNS]
set -euo pipefail
program=$(realpath "$1")
runs=${2:-10}

work=$(mktemp -d)
cleanup() {
    [[ -n ${server:-} ]] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

# Median wall time in milliseconds of `runs` runs of the command.
median_ms() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

# The first start writes the file types; the runs measure the usual start.
VARN_QUIT_AFTER_FIRST_PAINT=1 "$program" >/dev/null 2>&1 || true
help=$(median_ms "$program" --help)
window=$(VARN_QUIT_AFTER_FIRST_PAINT=1 median_ms "$program")
echo "varnsplit --help:             ${help} ms"
echo "start to first window paint:  ${window} ms"
awk -v w="$window" -v h="$help" 'BEGIN { printf "ratio window / --help:        %.1f\n", (h > 0 ? w / h : 0) }'
