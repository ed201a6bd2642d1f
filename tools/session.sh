#!/bin/bash
# Shared by run.sh and test.sh: one Xvfb and one persistent wineserver for a
# whole session, so that each Wine process start is cheap.
#   vestar_session_start <build-dir>   sets DISPLAY and WINEPREFIX
#   vestar_session_stop
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
VESTAR_XVFB_PID=""

vestar_session_start() {
    local build="$1"
    vestar_wine_env "$build/wineprefix"
    if [ -z "${DISPLAY:-}" ] || [ "${VESTAR_OWN_XVFB:-0}" = 1 ]; then
        local n
        for n in $(seq 90 130); do
            if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
        done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        VESTAR_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
    fi
    # Boot the prefix once (no-op when it exists), then keep a server up.
    "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 || true
    # Unmanaged windows also in a prefix made before this setting existed.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1 || true
    # Windows' Times New Roman and Arial have metric-compatible free fonts;
    # without them Wine falls back to a wider sans for the pages' texts.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1 || true
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v 'Arial' /d 'Liberation Sans' /f >/dev/null 2>&1 || true
}

vestar_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$VESTAR_XVFB_PID" ]; then
        kill "$VESTAR_XVFB_PID" 2>/dev/null || true
        wait "$VESTAR_XVFB_PID" 2>/dev/null || true
    fi
}
