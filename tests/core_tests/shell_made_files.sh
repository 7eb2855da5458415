#!/usr/bin/env bash
# Runs the core tests that need files only the shell can make, in a folder named to them in
# REELBOND_SHELL_MADE_FILES: a named pipe, links to /dev/zero and /dev/null, and two fresh
# tmpfs mounts (root only; without them their test skips). COM1 of the test prefix, under
# Wine the machine's console, is first linked to an empty scratch file.
# shell_made_files.sh EMULATOR TESTS_EXE GTEST_FILTER
set -euo pipefail
emulator=$1 exe=$2 filter=$3
dir=$(mktemp -d /tmp/reelbond-shell-made-XXXXXX)
cleanup() {
    for mount in "$dir/m1" "$dir/m2"; do
        if mountpoint -q "$mount"; then umount "$mount" 2>/dev/null || umount -l "$mount"; fi
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

mkfifo "$dir/pipe.mpg"
ln -s /dev/zero "$dir/zero.mpg"
ln -s /dev/null "$dir/null.mpg"
: >"$dir/com1-scratch"
ln -sfn "$dir/com1-scratch" "${WINEPREFIX:?}/dosdevices/com1"
mkdir "$dir/m1" "$dir/m2"
if mount -t tmpfs -o size=1m tmpfs "$dir/m1" 2>/dev/null &&
    mount -t tmpfs -o size=1m tmpfs "$dir/m2" 2>/dev/null; then
    export REELBOND_TMPFS=1
fi
export REELBOND_SHELL_MADE_FILES="Z:${dir//\//\\}"
"$emulator" "$exe" --gtest_filter="$filter"
