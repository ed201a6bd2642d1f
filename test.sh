#!/bin/bash
# Builds both builds and runs every test layer: native tests under ASan and
# UBSan, the fuzz targets for a bounded time, then the Windows tests and the
# end-to-end test under Wine. Safe to run again; later runs reuse the builds
# and the Wine prefix.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD

./tools/ensure-packages.sh

JOBS=$(nproc)

echo "== native build (ASan + UBSan)"
cmake -S . -B build/native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/native -j "$JOBS"

echo "== Windows build (mingw-w64)"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j "$JOBS"

echo "== native tests and fuzz targets"
native_rc=0
(cd build/native && ctest --output-on-failure -j "$JOBS") || native_rc=$?

echo "== Windows tests under Wine"
source tools/session.sh
vestar_session_start "$ROOT/build/win"
trap vestar_session_stop EXIT
cd build/win
win_rc=0
ctest --output-on-failure || win_rc=$?
exit $((native_rc || win_rc))
