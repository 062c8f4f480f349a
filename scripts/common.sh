# Shared set-up steps of run.sh, test.sh and bench.sh. Source it; do not run it.
# Every step is idempotent and prints nothing when there is nothing to do.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${CARDCHECK_BUILD:-$ROOT/build}
PACKAGES="wine wine32:i386 wine64 g++-mingw-w64-i686-posix cmake ninja-build xvfb xauth x11-apps imagemagick fonts-wqy-zenhei fonts-arphic-uming fonts-noto-cjk nsis"

die() { echo "error: $*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"
    elif command -v sudo >/dev/null; then sudo "$@"
    else die "need root to run: $*"; fi
}

# Debian packages, and the i386 architecture that 32-bit Wine needs.
ensure_packages() {
    local missing=()
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} = 0 ] && return 0
    echo "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    local log; log=$(mktemp)
    if ! { as_root apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2; rm -f "$log"; die "package installation failed"
    fi
    rm -f "$log"
}

# Configure once, then build; the build's output is shown only when it fails.
build_tree() {
    local log="$BUILD/build.log"
    mkdir -p "$BUILD"
    if [ ! -f "$BUILD/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >"$log" 2>&1 ||
            { cat "$log" >&2; die "configure failed"; }
    fi
    if ! cmake --build "$BUILD" -j "$(nproc)" >"$log" 2>&1; then
        grep -E 'error|Error|FAILED' "$log" | head -60 >&2
        die "build failed (full log: $log)"
    fi
}

# A Wine prefix of the build's own. $1: prefix directory, $2: graphics driver (null or x11).
# The prefix gets the CJK font substitutes, crash handling that ends a crashed program at once,
# and a persistent detached wineserver, so that callers reading our pipes never wait on Wine's.
wine_env() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=C.UTF-8
    unset LC_ALL
}

# The server and Wine's service processes outlive the program that starts them and keep
# its pipes open; start them detached, with no pipe of ours, before any program runs.
start_wineserver() {
    (setsid wineserver -p 600 </dev/null >/dev/null 2>&1 &)
    setsid wineboot </dev/null >/dev/null 2>&1
}

# The prefix is made once; its registry settings are imported again whenever they change.
prepare_prefix() {
    local prefix=$1 driver=$2
    wine_env "$prefix"
    local want; want="$driver $(md5sum <"$ROOT/scripts/prefix.reg.in" | cut -d' ' -f1)"
    if [ ! -f "$prefix/.cardcheck-ready" ] || [ "$(cat "$prefix/.cardcheck-ready")" != "$want" ]; then
        mkdir -p "$prefix"
        start_wineserver
        [ -f "$prefix/system.reg" ] || setsid wineboot -i </dev/null >/dev/null 2>&1
        local reg="$prefix/cardcheck.reg"
        sed "s/@GRAPHICS@/$driver/" "$ROOT/scripts/prefix.reg.in" |
            sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
        setsid wine regedit /S "$reg" </dev/null >/dev/null 2>&1
        # Settings imported right after the first boot take effect with a fresh server.
        wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
        echo "$want" >"$prefix/.cardcheck-ready"
    fi
    start_wineserver
}

# Whether $DISPLAY is an X server we can reach.
display_usable() {
    [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1
}

# A virtual X server of our own for a headless run: DISPLAY points to it, and it ends, with
# the Wine processes of the current prefix, when the calling script exits.
start_virtual_screen() {
    local n=77
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null; wait $XVFB_PID 2>/dev/null || true' EXIT
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
}

# Starts a program detached in the virtual desktop $1 (with window frames), where the
# programs started in the same desktop see each other's windows.
in_desktop() {
    local name=$1
    shift
    (setsid wine explorer "/desktop=$name,1200x900" "$@" </dev/null >/dev/null 2>&1 &)
}

# Waits for a driver's <file>.rect or <file>.err (at most two minutes), then cuts the
# screen to the rectangle into the PNG $2. $3 says what failed to come up.
shoot_window() {
    local out=$1 png=$2 what=$3 x y w h
    for _ in $(seq 1200); do [ -e "$out.rect" ] || [ -e "$out.err" ] && break; sleep 0.1; done
    [ -e "$out.err" ] && die "$what failed: $(cat "$out.err")"
    [ -e "$out.rect" ] || die "$what did not complete"
    read -r x y w h <"$out.rect"
    xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$png"
}
