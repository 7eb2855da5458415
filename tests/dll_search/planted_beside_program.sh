#!/usr/bin/env bash
# Plants a DLL beside a copy of the program under the name of each system DLL it uses that is
# not a known DLL, starts the program with Wine told to look beside it first, as Windows does,
# and fails if the program loaded one of them. The planted DLL leaves NAME.loaded beside
# itself when loaded: first it is loaded by its full path, to show that it would tell.
# planted_beside_program.sh PROGRAM PLANTED_DLL PEEK
set -euo pipefail
program=$1 planted=$2 peek=$3
dir=$(mktemp -d /tmp/reelbond-planted-XXXXXX)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

names=(comctl32 mpr oleacc riched20)
cp "$program" "$dir/Reelbond.exe"
# Without its help file beside it the program reports that before its main window shows.
cp "$(dirname "$program")/Help.rtf" "$dir/"
cp "$planted" "$dir/planted.dll"
for name in "${names[@]}"; do
    cp "$planted" "$dir/$name.dll"
done
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}$(IFS=,; echo "${names[*]}")=n,b"

wine rundll32.exe "Z:${dir//\//\\}\\planted.dll",Load
if [ ! -f "$dir/planted.dll.loaded" ]; then
    echo "FAILED: the planted DLL left no mark when loaded by its full path"
    exit 1
fi

# Started in its folder, as from Explorer: every library of its start-up is loaded once the
# main window shows, or the program has ended (a planted library fails it).
(cd "$dir" && exec wine Reelbond.exe) >/dev/null 2>&1 </dev/null &
pid=$!
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    wine "$peek" hung TForm1 | grep -q false && break
    sleep 0.1
done

loaded=$(cd "$dir" && ls -- *.loaded | grep -iv '^planted' || true)
if [ -n "$loaded" ]; then
    echo "FAILED: the program loaded DLLs planted beside it:" $loaded
    exit 1
fi
wine "$peek" hung TForm1 | grep -q false || { echo "FAILED: no main window"; exit 1; }
echo "PASSED: none of ${names[*]} was loaded from beside the program"
