#!/usr/bin/env bash
# Probe of a 1 GiB file without a start code against `cat FILE >/dev/null`, both reading
# from the page cache. Prints the best of several runs; the last line is the ratio of the
# probe's throughput to cat's. Run by scripts/bench (BUILD set, Wine prefix up).
set -euo pipefail
RUNS=5
ROUNDS=3
FILE=$(mktemp /tmp/reelbond-probe-XXXXXX.bin)
trap 'rm -f "$FILE"' EXIT

# Random bytes without any 01 byte: B3 bytes and 00 00 pairs everywhere, no start code.
head -c 1G /dev/urandom | tr '\001' '\002' >"$FILE"
BYTES=$(stat -c %s "$FILE")
cat "$FILE" >/dev/null

seconds_of() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }'
}

PROBE=("wine" "$BUILD/tests/bench_probe.exe" "Z:${FILE//\//\\}")
min() { awk -v a="$1" -v b="${2:-$1}" 'BEGIN { print (a < b ? a : b) }'; }

# Rounds of cat and probe runs in turn, so a busy spell of the machine hits both alike.
cat_best=
probe_best=
for _ in $(seq "$ROUNDS"); do
    for _ in $(seq "$RUNS"); do
        cat_best=$(min "$(seconds_of cat "$FILE")" "$cat_best")
    done
    # Timed inside the program, without Wine's process start.
    probe_best=$(min "$("${PROBE[@]}" "$RUNS" | tr -d '\r' | sed -n 's/^probe_seconds=//p')" \
        "$probe_best")
done
# One run as a whole process, for the start-up cost.
probe_process=$(seconds_of "${PROBE[@]}" 1)

awk -v bytes="$BYTES" -v c="$cat_best" -v p="$probe_best" -v w="$probe_process" 'BEGIN {
    gib = bytes / 2^30
    printf "file: %.2f GiB, best of '"$((RUNS * ROUNDS))"' runs each\n", gib
    printf "cat:   %.4f s, %.2f GiB/s\n", c, gib / c
    printf "probe: %.4f s, %.2f GiB/s (inside the program)\n", p, gib / p
    printf "probe as a whole process, one run: %.4f s (about %.4f s of it Wine start-up)\n", w, w - p
    printf "probe_vs_cat=%.2f\n", c / p
}'
