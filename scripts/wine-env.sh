# Sourced by the run and test scripts: Wine with a prefix of its own inside the
# build tree, and an X display (the caller's, or a private Xvfb stopped on exit).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=$(command -v wine64 || command -v wine); fi
WINESERVER=$(dirname "$WINE")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
export WINE WINESERVER
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them, and they cannot be downloaded.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

stop_private_display() {
    [ -n "${private_xvfb_pid:-}" ] && kill "$private_xvfb_pid" 2>/dev/null
    private_xvfb_pid=
}

if [ -z "${DISPLAY:-}" ]; then
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        private_xvfb_pid=$!
        export DISPLAY=":$number"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
        break
    done
fi

ensure_wine_prefix() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/.hotkey-relay-ready" ]; then
        "$WINE" wineboot --init >/dev/null 2>&1
        # A virtual desktop: Wine draws the window frames itself and offers a
        # notification area, with or without a window manager on the display.
        "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
        # As on Windows, the Latin UI faces fall back to a Chinese face for
        # characters they lack, whatever the locale.
        local face
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
        done
        # Wine's own caption-button glyphs: Debian ships the font outside the prefix.
        [ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        touch "$WINEPREFIX/.hotkey-relay-ready"
    fi
    "$WINESERVER" -w
}

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
}
