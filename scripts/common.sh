# Shared by the scripts: where things are, and how Wine is set up for this project.
# shellcheck shell=bash
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${REELBOND_BUILD:-$ROOT/build}
export WINEPREFIX=$BUILD/wine
export WINEDEBUG=-all
# No Mono or Gecko download dialogs: the prefix is created without network or prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# wine64-preloader, which Debian only suggests: without it Wine reserves the addresses Windows
# keeps for itself only once its loader runs, and the loader's heap, placed at random within
# 1 GiB above it, now and then already covers the shared user data at 0x7ffe0000. Such a process
# ends at its start with exit code 1 and, under WINEDEBUG=-all, no output ("failed to map the
# shared user data": about one start in 3,000).
PACKAGES=(cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 wine64-preloader xvfb xauth
          fonts-wine fonts-wqy-microhei x11-utils xdotool clang-format imagemagick ffmpeg googletest attr libcap2-bin zip unzip python3)

ensure_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

wine_reg() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

ensure_prefix() {
    create_prefix
    stand_in_interface_font
}

create_prefix() {
    [ -f "$WINEPREFIX/.reelbond-ready" ] && [ -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] &&
        return 0
    echo "Creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Headless-safe: X11 when there is a display, a null driver when there is none.
    wine_reg 'HKCU\Software\Wine\Drivers' Graphics REG_SZ 'x11,null'
    # No window manager here: Wine draws its own frames and hides windows at once.
    wine_reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
    # A crash must end the process, never wait in a dialog.
    wine_reg 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
    wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' Debugger REG_SZ 'no-such-debugger.exe'
    wineserver -w
    # Without Marlett the caption buttons draw as letters.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.reelbond-ready"
}

# Wine has no face of the interface font's name (its ms_sans_serif.ttf holds bitmaps only and
# is not loaded), and a missing face draws in a wider one that no longer fits the layout. The
# prefix has it stand for WenQuanYi Micro Hei (Debian's fonts-wqy-microhei), which also has the
# CJK letters that Windows' font links add to it: a font link of our own would not last, as
# Wine writes its own links for that face again whenever the code page changes. (Characters
# beyond U+FFFF, such as emoji, stay boxes: Wine's GDI draws each half of a surrogate pair on
# its own.) Runs once on new and on existing prefixes.
INTERFACE_FACE='Microsoft Sans Serif'
STAND_IN='WenQuanYi Micro Hei'
stand_in_interface_font() {
    local marker=$WINEPREFIX/.reelbond-interface-font
    [ "$(cat "$marker" 2>/dev/null)" = "$INTERFACE_FACE=$STAND_IN" ] && return 0
    wine_reg 'HKCU\Software\Wine\Fonts\Replacements' "$INTERFACE_FACE" REG_SZ "$STAND_IN"
    wineserver -w
    printf '%s' "$INTERFACE_FACE=$STAND_IN" >"$marker"
}

# Warnings are errors where REELBOND_WERROR=ON says so (.ci/run does); configured every time,
# so the setting of this run holds whatever an earlier run chose.
configure_and_build() {
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DREELBOND_WERROR="${REELBOND_WERROR:-OFF}" >/dev/null
    cmake --build "$BUILD" -j "$(nproc)" "$@"
}

# The committed .clang-format is the house style: a source that differs from it fails.
check_format() {
    git -C "$ROOT" ls-files -z '*.cpp' '*.h' |
        (cd "$ROOT" && xargs -0 clang-format --dry-run --Werror --style=file)
}

# Starts the keeper of the prefix in WINEPREFIX and waits until it reports Wine's background
# processes up (tests/keeper.cpp says why that matters).
KEEPER_PID=
launch_keeper() {
    local ready=$BUILD/$1
    rm -f "$ready"
    wine "$BUILD/tests/keeper.exe" "Z:${ready//\//\\}" >/dev/null 2>&1 </dev/null &
    KEEPER_PID=$!
    for _ in $(seq 1200); do
        [ -f "$ready" ] && return 0
        sleep 0.1
    done
    echo "Wine's background processes did not start within 120 s" >&2
    return 1
}

start_keeper() {
    launch_keeper keeper.ready
}

stop_keeper() {
    [ -n "$KEEPER_PID" ] && kill "$KEEPER_PID" 2>/dev/null
    wineserver -k 2>/dev/null || true
}
