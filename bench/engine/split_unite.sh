#!/usr/bin/env bash
# Times this program's "/split" (normal mode, 1,457,664-byte blocks) of a 1 GiB
# file against GNU split on the same file, and its "/unite" against cat of the
# same pieces, in one run: without checksums ("-nosum", and a unite of that set)
# and with them (the SHA-256 checksum file written, and verified by the unite).
# Prints the ratios (ours / GNU's wall time) and our peak memory, and whether
# the goals are met: without checksums at most 1.0x, split with checksums at
# most 1.3x, unite with verification at most 1.5x, peak memory under 32 MiB.
#
# usage: split_unite.sh [PROGRAM]     (default build/bin/varnsplit)
# VARN_BENCH_MIB sets the file size in MiB (default 1024); VARN_BENCH_DIR the
# folder for the work files (default: the system's temporary folder; about four
# times the file size is needed).
set -euo pipefail

program=${1:-build/bin/varnsplit}
mib=${VARN_BENCH_MIB:-1024}
block=1457664
rounds=${VARN_BENCH_ROUNDS:-3}

if [[ ! -x $program ]]; then
    echo "split_unite.sh: no program at '$program'" >&2
    exit 2
fi
program=$(realpath "$program")

# Peak memory comes from GNU time; install it when it is missing and we may.
if [[ ! -x /usr/bin/time ]] && [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null || true
fi

work=$(mktemp -d "${VARN_BENCH_DIR:-${TMPDIR:-/tmp}}/varnbench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# measure OUTFILE command...: runs the command, writes "seconds peak-KiB" to OUTFILE.
measure() {
    local out=$1
    shift
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -f "%e %M" -o "$out" "$@"
        return
    fi
    # Without GNU time: the child's peak from getrusage, where Python is there
    # (an upper bound: the child counts Python's own pages until it runs the program).
    if command -v python3 >/dev/null; then
        python3 -c 'import resource, subprocess, sys, time
start = time.monotonic()
status = subprocess.call(sys.argv[2:])
seconds = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
open(sys.argv[1], "w").write("%.2f %d\n" % (seconds, peak))
sys.exit(status)' "$out" "$@"
        return
    fi
    # Else wall time from the clock, peak memory from /proc while it runs.
    local start end peak=0 hwm
    start=$(date +%s.%N)
    "$@" &
    local pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
        [[ -n $hwm && $hwm -gt $peak ]] && peak=$hwm
        sleep 0.02
    done
    wait "$pid"
    end=$(date +%s.%N)
    echo "$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.2f", b - a}') $peak" >"$out"
}

seconds() { awk '{print $1}' "$1"; }
peak_kib() { awk '{print $2}' "$1"; }
minimum() { awk -v a="$1" -v b="$2" 'BEGIN {print (a == "" || b + 0 < a + 0) ? b : a}'; }
maximum() { awk -v a="$1" -v b="$2" 'BEGIN {print (a == "" || b + 0 > a + 0) ? b : a}'; }

echo "Making a ${mib} MiB file of pseudo-random bytes in $work ..."
head -c $((mib * 1024 * 1024)) /dev/urandom >"$work/whole.dat"

best_split=""
best_split_sum=""
best_gnu_split=""
best_unite=""
best_unite_sum=""
best_cat=""
peak=""
for round in $(seq 1 "$rounds"); do
    rm -rf "$work/ours" "$work/plain" "$work/gnu" "$work/back"
    mkdir -p "$work/ours" "$work/plain" "$work/gnu" "$work/back"

    # Each timed step starts with no writes of an earlier step still pending, and
    # the order alternates between rounds, so neither side pays for the other.
    run_split() { sync; measure "$work/t.split" "$program" /split "$work/whole.dat" "$work/plain" "$block" -nosum; }
    run_split_sum() { sync; measure "$work/t.splitsum" "$program" /split "$work/whole.dat" "$work/ours" "$block"; }
    run_gnu_split() { sync; measure "$work/t.gnusplit" split -b "$block" "$work/whole.dat" "$work/gnu/whole."; }
    unite_from() {
        sync
        measure "$2" "$program" /unite "$1/whole.vrn" "$work/back"
        if ! cmp -s "$work/whole.dat" "$work/back/whole.dat"; then
            echo "FAILED: the united file differs from the original" >&2
            exit 1
        fi
        rm -f "$work/back/whole.dat"
    }
    run_unite() { unite_from "$work/plain" "$work/t.unite"; }
    run_unite_sum() { unite_from "$work/ours" "$work/t.unitesum"; }
    run_cat() {
        sync
        measure "$work/t.cat" sh -c 'cat "$1"/whole.* >"$2"' sh "$work/gnu" "$work/back/cat.dat"
        rm -f "$work/back/cat.dat"
    }
    if ((round % 2)); then
        run_split; run_split_sum; run_gnu_split; run_unite; run_unite_sum; run_cat
    else
        run_gnu_split; run_split_sum; run_split; run_cat; run_unite_sum; run_unite
    fi

    echo "round $round: split $(seconds "$work/t.split")s, with checksums $(seconds "$work/t.splitsum")s" \
        "(GNU split $(seconds "$work/t.gnusplit")s); unite $(seconds "$work/t.unite")s," \
        "verified $(seconds "$work/t.unitesum")s (cat $(seconds "$work/t.cat")s)"
    best_split=$(minimum "$best_split" "$(seconds "$work/t.split")")
    best_split_sum=$(minimum "$best_split_sum" "$(seconds "$work/t.splitsum")")
    best_gnu_split=$(minimum "$best_gnu_split" "$(seconds "$work/t.gnusplit")")
    best_unite=$(minimum "$best_unite" "$(seconds "$work/t.unite")")
    best_unite_sum=$(minimum "$best_unite_sum" "$(seconds "$work/t.unitesum")")
    best_cat=$(minimum "$best_cat" "$(seconds "$work/t.cat")")
    for step in split splitsum unite unitesum; do
        peak=$(maximum "$peak" "$(peak_kib "$work/t.$step")")
    done
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}'; }
verdict() { awk -v r="$1" -v g="$2" 'BEGIN {print (r <= g) ? "met" : "NOT met"}'; }
split_ratio=$(ratio "$best_split" "$best_gnu_split")
split_sum_ratio=$(ratio "$best_split_sum" "$best_gnu_split")
unite_ratio=$(ratio "$best_unite" "$best_cat")
unite_sum_ratio=$(ratio "$best_unite_sum" "$best_cat")
peak_mib=$(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}')

echo
echo "best of $rounds rounds on a ${mib} MiB file, ${block}-byte blocks:"
echo "  split -nosum:        ${best_split}s vs GNU split ${best_gnu_split}s  ratio ${split_ratio}x" \
    "(goal <= 1.0x: $(verdict "$split_ratio" 1.0))"
echo "  split with checksums: ${best_split_sum}s vs GNU split ${best_gnu_split}s  ratio ${split_sum_ratio}x" \
    "(goal <= 1.3x: $(verdict "$split_sum_ratio" 1.3))"
echo "  unite unverified:    ${best_unite}s vs cat ${best_cat}s  ratio ${unite_ratio}x" \
    "(goal <= 1.0x: $(verdict "$unite_ratio" 1.0))"
echo "  unite verified:      ${best_unite_sum}s vs cat ${best_cat}s  ratio ${unite_sum_ratio}x" \
    "(goal <= 1.5x: $(verdict "$unite_sum_ratio" 1.5))"
echo "  peak memory of split and unite: ${peak_mib} MiB" \
    "(goal < 32 MiB: $(awk -v m="$peak_mib" 'BEGIN {print (m < 32) ? "met" : "NOT met"}'))"
