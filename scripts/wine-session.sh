# A private Wine session: its own prefix and virtual display outside the repository, one wine server kept
# up for everything run inside it, and a clean stop of exactly the processes it started.
# Use: source scripts/wine-session.sh; wine_session_start; ...; wine_session_stop

wine_session_start() {
    TRESKEL_SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/treskel-wine.XXXXXX")
    export TRESKEL_SESSION_DIR
    export WINEPREFIX="$TRESKEL_SESSION_DIR/prefix"
    export WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="   # no prompts for the .NET and HTML runtimes
    # A German system: ANSI code page 1252, OEM code page 850.
    export LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8

    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$TRESKEL_SESSION_DIR/display" \
        >"$TRESKEL_SESSION_DIR/xvfb.log" 2>&1 &
    TRESKEL_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$TRESKEL_SESSION_DIR/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$TRESKEL_SESSION_DIR/display" ]; then
        echo "Xvfb did not start:" >&2
        cat "$TRESKEL_SESSION_DIR/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$TRESKEL_SESSION_DIR/display" | tr -d '[:space:]')"

    echo "== Wine prefix $WINEPREFIX on display $DISPLAY"
    wineboot -i >"$TRESKEL_SESSION_DIR/wineboot.log" 2>&1
    # Without a window manager every hidden window waits 2 s: a virtual desktop must be set before the
    # server that runs the tests starts.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$TRESKEL_SESSION_DIR/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        >>"$TRESKEL_SESSION_DIR/wineboot.log" 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true

    # Wine's own fonts (MS Sans Serif, Marlett for the title-bar buttons) where Windows keeps its fonts:
    # this Wine does not pick them up from its data folder by itself.
    if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi

    # A drive letter whose folder is missing: a drive that is not ready.
    ln -sfn "$TRESKEL_SESSION_DIR/no-medium" "$WINEPREFIX/dosdevices/q:"
    export TRESKEL_MISSING_DRIVE=Q

    wineserver -p -f >"$TRESKEL_SESSION_DIR/wineserver.log" 2>&1 &
    TRESKEL_WINESERVER_PID=$!
    export TRESKEL_WINE_SESSION=1
}

wine_session_stop() {
    [ -n "${TRESKEL_SESSION_DIR:-}" ] || return 0
    # Every step may find its process gone already; none of that makes the run fail.
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${TRESKEL_WINESERVER_PID:-}" ]; then
        kill "$TRESKEL_WINESERVER_PID" 2>/dev/null || true
        wait "$TRESKEL_WINESERVER_PID" 2>/dev/null || true
    fi
    if [ -n "${TRESKEL_XVFB_PID:-}" ]; then
        kill "$TRESKEL_XVFB_PID" 2>/dev/null || true
        wait "$TRESKEL_XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$TRESKEL_SESSION_DIR" || true
    unset TRESKEL_SESSION_DIR TRESKEL_WINESERVER_PID TRESKEL_XVFB_PID TRESKEL_WINE_SESSION
    return 0
}

# Saves a picture of the whole virtual screen as PNG.
wine_session_screenshot() {
    /usr/bin/import -display "$DISPLAY" -window root "$1"
}
