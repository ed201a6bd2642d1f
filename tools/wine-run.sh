#!/bin/bash
# Runs one Windows program under Wine in the build's own prefix.
#   WINEPREFIX  the prefix (made on first use, reused after)
# Without $DISPLAY the program runs in a private Xvfb.
set -euo pipefail

: "${WINEPREFIX:?WINEPREFIX must name the prefix of the build}"
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vestar_wine_env "$WINEPREFIX"

# wine64 itself: the wrapper script only adds a warning about 32-bit Wine.
WINE=/usr/lib/wine/wine64

# The first user of a fresh prefix boots it; others wait on the lock.
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        # Unmanaged windows: otherwise hiding a window waits 2 s for a
        # window manager that Xvfb does not have.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wineserver -w
    fi
) 9>"${WINEPREFIX%/}.lock"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" "$@"
fi
exec "$WINE" "$@"
