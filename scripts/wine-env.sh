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
wine_setup_log=${wine_setup_log:-$root/build/wine-setup.log}

stop_private_display() {
    [ -n "${private_xvfb_pid:-}" ] && kill "$private_xvfb_pid" 2>/dev/null
    private_xvfb_pid=
}

display_answers() {
    xdpyinfo >/dev/null 2>&1
}

start_private_display() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        private_xvfb_pid=$!
        export DISPLAY=":$number"
        for _ in $(seq 100); do display_answers && return 0; sleep 0.1; done
        echo "Xvfb did not start on :$number; trying the next number" >&2
        stop_private_display
        unset DISPLAY
    done
    echo "no X display could be started between :90 and :140" >&2
    return 1
}

# The caller's display if it answers, else a private Xvfb; checked right before
# Wine needs it rather than when this file is sourced.
ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then
        display_answers && return 0
        echo "The display $DISPLAY does not answer; using a private Xvfb instead." >&2
        stop_private_display
    fi
    start_private_display
}

wine_prefix_ready() {
    [ -f "$WINEPREFIX/.hotkey-relay-ready" ]
}

# Wine refuses a prefix that is not owned by the user running it, and needs
# symbolic links in it (its drive letters are links). A checkout on a shared or
# foreign-owned file system can offer neither.
wine_prefix_place_problem() {
    local probe="$WINEPREFIX/.link-probe"
    mkdir -p "$WINEPREFIX" 2>/dev/null || { echo "cannot create it"; return; }
    [ "$(stat -c %u "$WINEPREFIX")" = "$(id -u)" ] || { echo "it is not owned by $(id -un)"; return; }
    rm -f "$probe"
    ln -s . "$probe" 2>/dev/null || { echo "it cannot hold symbolic links"; return; }
    rm -f "$probe"
}

initialize_wine_prefix() {
    "$WINE" wineboot --init || return
    "$WINESERVER" -w
    [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ] || {
        echo "wineboot left no complete prefix in $WINEPREFIX"
        return 1
    }
    # A virtual desktop: Wine draws the window frames itself and offers a
    # notification area, with or without a window manager on the display.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f || return
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f || return
    # As on Windows, the Latin UI faces fall back to a Chinese face for
    # characters they lack, whatever the locale.
    local face
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
        "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f || return
    done
    # Wine's own caption-button glyphs: Debian ships the font outside the prefix.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return
    fi
    "$WINESERVER" -w
}

describe_wine_failure() {
    echo "== preparing the Wine prefix failed; what Wine printed ($wine_setup_log):"
    tail -n 60 "$wine_setup_log"
    echo "== the machine: user $(id), DISPLAY=${DISPLAY:-}, WINE=$WINE"
    "$WINE" --version 2>&1 || true
    df -h "$(dirname "$WINEPREFIX")" /tmp 2>&1 || true
    ls -ld "$WINEPREFIX" "$(dirname "$WINEPREFIX")" "/tmp/.wine-$(id -u)" 2>&1 || true
}

# Makes the prefix on first use; a failed attempt is wiped and tried once more.
ensure_wine_prefix() {
    ensure_display || return 1
    wine_prefix_ready && return 0
    mkdir -p "$(dirname "$wine_setup_log")"
    : >"$wine_setup_log"
    local problem attempt
    problem=$(wine_prefix_place_problem)
    if [ -n "$problem" ]; then
        echo "Wine cannot use $WINEPREFIX: $problem." >&2
        export WINEPREFIX="${TMPDIR:-/tmp}/hotkey-relay-wineprefix-$(id -u)"
        echo "Using $WINEPREFIX instead." >&2
        wine_prefix_ready && return 0
        problem=$(wine_prefix_place_problem)
        [ -z "$problem" ] || { echo "Wine cannot use $WINEPREFIX either: $problem." >&2; return 1; }
    fi
    for attempt in 1 2; do
        echo "-- creating the Wine prefix $WINEPREFIX (attempt $attempt)" >>"$wine_setup_log"
        if initialize_wine_prefix >>"$wine_setup_log" 2>&1; then
            touch "$WINEPREFIX/.hotkey-relay-ready"
            return 0
        fi
        "$WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
    done
    describe_wine_failure >&2
    return 1
}

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
}
