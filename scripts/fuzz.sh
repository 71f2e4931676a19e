#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each over a copy of its seed corpus for
# its share of SECONDS (default 60). Fails on any crash, leak, timeout or
# sanitizer report, and prints the input that caused it.
#
#     bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi
targets=(signature info_file stub_header checksum_file)

bash scripts/deps.sh
cmake -S . -B build-fuzz -G Ninja -DVARN_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"

# The runs grow their corpora and may leave crash inputs behind; all of that
# stays in a temporary folder, never in the repository or the real home.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

share=$((seconds / ${#targets[@]}))
((share >= 1)) || share=1

failed=0
for target in "${targets[@]}"; do
    binary="build-fuzz/bin/varn_fuzz_$target"
    corpus="$work/corpus/$target"
    artifacts="$work/artifacts/$target"
    log="$work/$target.log"
    mkdir -p "$corpus" "$artifacts"
    cp -R "build-fuzz/fuzz/seeds/$target/." "$corpus/"

    echo "== $target: ${share}s"
    status=0
    "$binary" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
              -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?

    # UBSan reports that do not stop the run would still leave an exit status
    # of 0, so the log itself is searched too.
    if ((status != 0)) || grep -qE 'runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer' "$log"; then
        failed=1
        echo "$target FAILED (exit status $status):"
        cat "$log"
        for input in "$artifacts"/*; do
            [[ -f $input ]] || continue
            echo "-- input $(basename "$input"), base64:"
            base64 -w 76 "$input"
        done
    else
        grep -E '^#[0-9]+[[:space:]]+DONE ' "$log" | tail -n 1 \
            || grep -E "exec/s" "$log" | tail -n 1 || true
    fi
done

exit "$failed"
