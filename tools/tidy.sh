#!/bin/bash
# clang-tidy over Windows sources with the mingw-w64 headers:
#   tools/tidy.sh <build-dir> <files...>
set -euo pipefail
build=$1
shift
GXX=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
exec clang-tidy -p "$build" --quiet \
    --extra-arg=--target=x86_64-w64-mingw32 \
    --extra-arg=-isystem$GXX --extra-arg=-isystem$GXX/x86_64-w64-mingw32 \
    --extra-arg=-isystem$GXX/backward --extra-arg=-Wno-unknown-warning-option "$@"
