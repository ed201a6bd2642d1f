#!/bin/bash
# Installs the Debian packages the build and the tests need, when missing.
# Safe to run again: an installed set costs one dpkg query.
set -euo pipefail

PACKAGES=(
    cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev python3 zlib1g-dev
    mingw-w64 libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-dejavu-core fonts-liberation locales
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi

# Wine runs in the clinics' locale (tools/session.sh, tools/wine-run.sh).
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    echo "Generating the ru_RU.UTF-8 locale"
    $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
