#!/bin/bash
# Installs the Debian packages the build and the tests need, when missing.
# Safe to run again: an installed set costs one dpkg query.
set -euo pipefail

PACKAGES=(
    cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev python3 zlib1g-dev
    mingw-w64 libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
