#!/usr/bin/env bash
# The file list on a directory of 5,000 small MPEG files against the bare file search of
# the same directory, and the add operation on 2,000 of them. Run by scripts/bench.
set -euo pipefail
FILES=5000
ADD=2000
DATA=$BUILD/bench-browse
if [ "$(find "$DATA/many" -name '*.mpg' 2>/dev/null | wc -l)" != "$FILES" ]; then
    rm -rf "$DATA"
    mkdir -p "$DATA/many" "$DATA/other"
    # Small files of 6 KB, each with its sequence header in the first bytes.
    python3 - "$DATA/many" "$FILES" "$(dirname "$0")/../media/mpeg1_ps_352x240_2997_a.mpg" <<'PY'
import sys
directory, count, media = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = open(media, "rb").read()[:6000]
for i in range(count):
    open(f"{directory}/clip{i:05d}.mpg", "wb").write(data)
PY
fi
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
wine "$BUILD/tests/bench_browse.exe" "$(windows_path "$DATA/many")" \
    "$(windows_path "$DATA/other")" "$ADD" 5 | tr -d '\r'
