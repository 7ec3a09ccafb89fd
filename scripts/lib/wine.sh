# Shared by scripts/test, scripts/demo and scripts/bench: a private Wine
# prefix under the build tree and a private Xvfb display. Only what these
# functions started is stopped again.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

tarvex_wine_env() {
    export WINEPREFIX="${1:-${TARVEX_WINEPREFIX:-$repo_root/build/wineprefix}}"
    export WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# tarvex_prepare_prefix [DPI]: creates the prefix on first use: a virtual
# desktop gives real captions and quick window closes. Later runs reuse it.
# With a DPI, the screen of the prefix reports it (Wine takes it from
# HKCU\Control Panel\Desktop LogPixels at each program's start); give such a
# prefix a folder of its own.
tarvex_prepare_prefix() {
    local dpi=${1:-}
    if [ ! -f "$WINEPREFIX/.tarvex-ready" ]; then
        echo "wine: preparing prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
        "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
            >/dev/null 2>&1
        # A crashing program ends at once instead of waiting behind Wine's
        # crash dialog, so a test sees the crash in seconds.
        "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.tarvex-ready"
    fi
    if [ -n "$dpi" ] && [ "$(cat "$WINEPREFIX/.tarvex-dpi" 2>/dev/null)" != "$dpi" ]; then
        "$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            >/dev/null 2>&1 || return 1
        "$WINESERVER" -w
        echo "$dpi" >"$WINEPREFIX/.tarvex-dpi"
    fi
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true # already running is fine
}

tarvex_stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
}

# Starts Xvfb on the first free display from :90 on and exports DISPLAY.
tarvex_start_xvfb() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    tarvex_xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.05
    done
    export DISPLAY=":$n"
}

tarvex_stop_xvfb() {
    if [ -n "${tarvex_xvfb_pid:-}" ]; then
        kill "$tarvex_xvfb_pid" 2>/dev/null || true
        wait "$tarvex_xvfb_pid" 2>/dev/null || true
        tarvex_xvfb_pid=
    fi
}
