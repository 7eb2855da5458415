#!/usr/bin/env bash
# Joins many small files: 500 and 5,000 files of 6,200 bytes (about the sizes of short
# clips cut into pieces), each set in a folder of its own, with the link operation, and the
# 5,000 with cat in the same run. Prints medians of REELBOND_BENCH_RUNS (default 7) of each:
#   link_scaling=      time per file at 5,000 files divided by time per file at 500
#   link_files_vs_cat= cat's time for the 5,000 files divided by the link's
# Every run starts from a synced disk and without an old output.
set -euo pipefail
RUNS=${REELBOND_BENCH_RUNS:-7}
SIZE=6200
DATA=$BUILD/bench-link-files

windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# Makes the folder of COUNT files once and writes the list of their Windows paths.
make_set() {
    local count=$1 dir=$DATA/$1
    if [ "$(find "$dir" -name '*.mpg' 2>/dev/null | wc -l)" != "$count" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        head -c $((count * SIZE)) /dev/urandom | split -b $SIZE -a 5 -d --additional-suffix=.mpg - "$dir/f"
    fi
    local winDir
    winDir=$(windows_path "$dir")
    (cd "$dir" && ls f*.mpg) | DIR=$winDir awk '{ print ENVIRON["DIR"] "\\" $0 }' >"$DATA/$count.list"
}

fresh_output() { rm -f "$1"; sync; }

# Prints the link's seconds for the set of COUNT files, the mean of TIMES links in turn.
# The 500 files are linked ten times per figure, so that both figures span about the same
# time and a busy spell of the machine weighs on both alike.
run_link() {
    local count=$1 times=$2 total=0 seconds
    for _ in $(seq "$times"); do
        fresh_output "$DATA/link-$count.mpg"
        seconds=$(wine "$BUILD/tests/bench_link.exe" "$(windows_path "$DATA/link-$count.mpg")" \
            "@$(windows_path "$DATA/$count.list")" | tr -d '\r' | sed -n "s/^link_seconds=//p")
        total=$(awk -v a="$total" -v b="$seconds" 'BEGIN { print a + b }')
    done
    echo "link_$count=$(awk -v t="$total" -v n="$times" 'BEGIN { printf "%.4f", t / n }')"
}

run_cat() {
    fresh_output "$DATA/cat.mpg"
    local start end
    start=$(date +%s%N)
    cat "$DATA"/5000/f*.mpg >"$DATA/cat.mpg"
    end=$(date +%s%N)
    echo "cat_5000=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')"
}

mkdir -p "$DATA"
make_set 500
make_set 5000
results=$(
    for _ in $(seq "$RUNS"); do
        run_link 500 10
        run_cat
        run_link 5000 1
    done
)
echo "$results" | sed 's/^/  /'
cmp "$DATA/link-5000.mpg" "$DATA/cat.mpg"
cmp "$DATA/link-500.mpg" <(cat "$DATA"/500/f*.mpg)
rm -f "$DATA"/link-*.mpg "$DATA/cat.mpg"

# Medians: the best of a few runs depends on luck more than their middle does.
median() {
    echo "$results" | sed -n "s/^$1=//p" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
awk -v l500="$(median link_500)" -v l5000="$(median link_5000)" -v cat="$(median cat_5000)" 'BEGIN {
    printf "link_ms_per_file_500=%.3f\n", l500 * 1000 / 500
    printf "link_ms_per_file_5000=%.3f\n", l5000 * 1000 / 5000
    printf "link_scaling=%.2f\n", (l5000 / 5000) / (l500 / 500)
    printf "link_files_vs_cat=%.3f\n", cat / l5000
}'
