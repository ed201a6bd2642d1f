#!/bin/bash
# Builds Install.exe and the demo distribution medium, then starts the
# installer from the medium under Wine: in a window on $DISPLAY, or without a
# display in a private Xvfb, where it walks the wizard through a complete
# installation with real input and saves a screenshot of every page.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
BUILD=$ROOT/build/win

./tools/ensure-packages.sh

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target demo_medium wizard-walk

source tools/session.sh
had_display=${DISPLAY:-}
vestar_session_start "$BUILD"
trap vestar_session_stop EXIT

MEDIUM=$BUILD/demo-medium
cat <<EOF_HINT
To try the installer without questions, or the check of the medium, on the
demo medium (the exit code after each; the README lists the switches):
  WINEPREFIX=$BUILD/wineprefix ./tools/wine-run.sh $MEDIUM/Install.exe /VERYSILENT /DIR='C:\Holter' /LOG='C:\install.log'; echo \$?
  WINEPREFIX=$BUILD/wineprefix ./tools/wine-run.sh $MEDIUM/Install.exe /SILENT /DRIVER /DIR='C:\Holter'; echo \$?
  WINEPREFIX=$BUILD/wineprefix ./tools/wine-run.sh $MEDIUM/Install.exe /CHECK; echo \$?
EOF_HINT
if [ -n "$had_display" ]; then
    ./tools/wine-run.sh "$MEDIUM/Install.exe"
    exit 0
fi

# Windows paths on Wine's Z: drive.
winpath() { echo "Z:${1//\//\\}"; }
TARGET=$BUILD/run-target
SHOTS=$BUILD/screens/run
rm -rf "$TARGET" "$SHOTS"
mkdir -p "$TARGET" "$SHOTS"
./tools/wine-run.sh "$BUILD/tools/wizard-driver/wizard-walk.exe" \
    "$(winpath "$MEDIUM/Install.exe")" "$(winpath "$TARGET/Holter")" "$(winpath "$SHOTS")"
echo "Screenshots of every page: $SHOTS"
echo "Installed tree:            $TARGET/Holter"
