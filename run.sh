#!/bin/bash
# Builds Install.exe and starts it under Wine: in a window on $DISPLAY, or
# without a display in a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD

./tools/ensure-packages.sh

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j "$(nproc)" --target Install

source tools/session.sh
had_display=${DISPLAY:-}
vestar_session_start "$ROOT/build/win"
trap vestar_session_stop EXIT

if [ -n "$had_display" ]; then
    ./tools/wine-run.sh build/win/src/app/Install.exe
else
    ./tools/wine-run.sh build/win/src/app/Install.exe &
    pid=$!
    sleep 8
    mkdir -p build/win/screens
    import -window root build/win/screens/run.png
    echo "Install.exe is running in Xvfb; screenshot: build/win/screens/run.png"
    wineserver -k || true
    wait $pid || true
fi
