#!/usr/bin/env bash
# Joins three 500 MB files with the link operation and, in the same run, with cat, taking
# turns; writes through the page cache vary a lot from run to run, so the best of
# REELBOND_BENCH_RUNS (default 7) of each counts. Every run starts from a synced disk and
# without an old output.
set -euo pipefail
RUNS=${REELBOND_BENCH_RUNS:-7}
SIZE=500000000
DATA=$BUILD/bench-link
mkdir -p "$DATA"
inputs=()
for name in a b c; do
    file=$DATA/$name.mpg
    [ "$(stat -c %s "$file" 2>/dev/null)" = "$SIZE" ] || head -c $SIZE /dev/urandom >"$file"
    inputs+=("$file")
done

windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

fresh_output() { rm -f "$1"; sync; }

# Prints link_seconds=, peak_working_set_mib=, peak_pagefile_mib=.
run_link() {
    fresh_output "$DATA/link.mpg"
    local arguments=()
    for file in "$DATA/link.mpg" "${inputs[@]}"; do arguments+=("$(windows_path "$file")"); done
    wine "$BUILD/tests/bench_link.exe" "${arguments[@]}" | tr -d '\r'
}

run_cat() {
    fresh_output "$DATA/cat.mpg"
    local start end
    start=$(date +%s%N)
    cat "${inputs[@]}" >"$DATA/cat.mpg"
    end=$(date +%s%N)
    echo "cat_seconds=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')"
}

results=$(
    for run in $(seq "$RUNS"); do
        if [ $((run % 2)) = 1 ]; then run_link; run_cat; else run_cat; run_link; fi
    done
)
echo "$results" | sed 's/^/  /'
cmp "$DATA/link.mpg" "$DATA/cat.mpg"
rm -f "$DATA/link.mpg" "$DATA/cat.mpg"

echo "$results" | awk -F= -v bytes=$((3 * SIZE)) '
    $1 == "link_seconds" && (!link || $2 < link) { link = $2 }
    $1 == "cat_seconds" && (!cat || $2 < cat) { cat = $2 }
    $1 ~ /^peak_/ && $2 > peak { peak = $2 }
    END {
        printf "link_mb_s=%.0f\n", bytes / link / 1e6
        printf "cat_mb_s=%.0f\n", bytes / cat / 1e6
        printf "link_vs_cat=%.2f\n", cat / link
        printf "link_peak_mib=%.1f\n", peak
    }'
