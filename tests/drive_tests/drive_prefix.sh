#!/usr/bin/env bash
# The drive tests' own Wine prefix, with a drive of every kind. Wine reads drive letters, types
# and labels when it starts, so they are made here, before the prefix's first Wine process.
# The prefix lies beside the main one and so has a wineserver of its own: the other tests'
# wineserver is never stopped or restarted.
#
#   drive_prefix.sh setup BUILD              copy the main prefix once, lay out the drives,
#                                            start a keeper for the prefix
#   drive_prefix.sh cleanup BUILD            stop the keeper and the prefix's wineserver
#
# The drives, which the drive tests expect:
#   C: the prefix's drive_c, labelled "data"      H: floppy, its directory missing (not ready)
#   D: CD-ROM "Movies", with Trailers, MixedCase  I: fixed, no label, with Clips and clips
#   E: floppy "Flop"                              K: untyped, its directory missing (no root)
#   F: network "share"                            Z: / as Wine makes it
#   G: RAM disk "r&d"                             \\server\share: a network share with dir\inner
#   J: fixed, labelled "Vidéo 日本", with a directory and a clip of each name in NAMES, each
#      directory holding a clip of its own name
set -euo pipefail
source "$(dirname "$0")/../../scripts/common.sh"

command=$1
BUILD=$2
MAIN_PREFIX=$BUILD/wine
export WINEPREFIX=$BUILD/wine-drives
DRIVES=$BUILD/drives
KEEPER_PID_FILE=$BUILD/drives-keeper.pid
MEDIA=$(cd "$(dirname "$0")/../media" && pwd)
# Names in every script: Latin-1 with a pair equal but for case, Greek, CJK, an emoji (four
# bytes in UTF-8), two dots; then names a language calls equal and file systems do not: café
# with e and a combining accent, straße and strasse; Omega, to which a Western code page best
# fits Ωmega, its clips of another format. The case pair is made here: Wine's own file
# functions refuse a name that differs from an existing one only in case.
NAMES=(café Ärger ärger Éclair Øre Ωmega 日本 clip😀 Zebra.v1.2 $'cafe\xcc\x81' straße strasse Omega)

stop_prefix() {
    if [ -f "$KEEPER_PID_FILE" ]; then
        kill "$(cat "$KEEPER_PID_FILE")" 2>/dev/null || true
        rm -f "$KEEPER_PID_FILE"
    fi
    # WINEPREFIX names the drive prefix: only its own wineserver is stopped.
    wineserver -k 2>/dev/null || true
    wineserver -w
}

make_tree() {
    local root=$1 label=$2
    shift 2
    mkdir -p "$root"
    [ -n "$label" ] && printf '%s\n' "$label" >"$root/.windows-label"
    for dir in "$@"; do
        mkdir -p "$root/$dir"
    done
}

link_drive() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/$1"
}

# Replaces the drive types in system.reg, which only a stopped wineserver leaves alone.
write_drive_types() {
    local registry=$WINEPREFIX/system.reg
    awk '/^\[Software\\\\Wine\\\\Drives\]/ { skip = 1; next }
         /^\[/ { skip = 0 }
         !skip' "$registry" >"$registry.new"
    cat >>"$registry.new" <<'EOF'

[Software\\Wine\\Drives]
"d:"="cdrom"
"e:"="floppy"
"f:"="network"
"g:"="ramdisk"
"h:"="floppy"
"i:"="hd"
"j:"="hd"
EOF
    mv "$registry.new" "$registry"
}

setup() {
    stop_prefix
    # Copied again when the main prefix has changed since, for example by a new font stand-in.
    if [ ! -f "$WINEPREFIX/.reelbond-drives" ] ||
        [ -n "$(find "$MAIN_PREFIX" -maxdepth 1 -name '.reelbond-*' -newer "$WINEPREFIX/.reelbond-drives")" ]; then
        rm -rf "$WINEPREFIX"
        cp -a "$MAIN_PREFIX" "$WINEPREFIX"
        touch "$WINEPREFIX/.reelbond-drives"
    fi

    rm -rf "$DRIVES"
    printf 'data\n' >"$WINEPREFIX/drive_c/.windows-label"
    rm -rf "$WINEPREFIX/drive_c/My Documents"
    make_tree "$DRIVES/cdrom" Movies Trailers MixedCase
    make_tree "$DRIVES/floppy" Flop
    make_tree "$DRIVES/network" share
    make_tree "$DRIVES/ram" "r&d"
    make_tree "$DRIVES/fixed" "" Clips clips alpha Beta
    make_tree "$DRIVES/share" "" dir/inner
    make_tree "$DRIVES/names" "Vidéo 日本" "${NAMES[@]}"
    for name in "${NAMES[@]}"; do
        cp "$MEDIA/mpeg1_ps_352x240_2997_a.mpg" "$DRIVES/names/$name.mpg"
        cp "$MEDIA/mpeg1_ps_352x240_2997_a.mpg" "$DRIVES/names/$name/$name.mpg"
    done
    cp "$MEDIA/mpeg1_es_352x288_25.mpg" "$DRIVES/names/Omega.mpg"
    cp "$MEDIA/mpeg1_es_352x288_25.mpg" "$DRIVES/names/Omega/Omega.mpg"

    find "$WINEPREFIX/dosdevices" -maxdepth 1 -name '?:' ! -name 'c:' ! -name 'z:' -delete
    rm -rf "$WINEPREFIX/dosdevices/unc"
    link_drive d: "$DRIVES/cdrom"
    link_drive e: "$DRIVES/floppy"
    link_drive f: "$DRIVES/network"
    link_drive g: "$DRIVES/ram"
    link_drive h: "$DRIVES/missing-floppy"
    link_drive i: "$DRIVES/fixed"
    link_drive j: "$DRIVES/names"
    link_drive k: "$DRIVES/missing"
    mkdir -p "$WINEPREFIX/dosdevices/unc/server"
    ln -sfn "$DRIVES/share" "$WINEPREFIX/dosdevices/unc/server/share"
    write_drive_types

    # As scripts/test does for the main prefix: tests then start in milliseconds.
    launch_keeper drives-keeper.ready
    echo "$KEEPER_PID" >"$KEEPER_PID_FILE"
}

case $command in
setup) setup ;;
cleanup) stop_prefix ;;
*)
    echo "usage: $0 setup BUILD | cleanup BUILD" >&2
    exit 2
    ;;
esac
