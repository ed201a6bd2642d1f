#!/bin/bash
# Runs the tests of a program whose names match a filter on a real small
# drive: a tmpfs given to Wine as a drive letter. Exits with 77 (skipped)
# where the machine does not allow the mount.
#   small-drive.sh <test program> [<gtest filter> [<size> [<drive letter>]]]
# (defaults: '*SmallDrive*', 24m, t). Each test that runs alongside another
# takes a letter of its own: the mount point is named after it.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix of the build}"
here="$(cd "$(dirname "$0")" && pwd)"
filter="${2:-*SmallDrive*}"
size="${3:-24m}"
drive="${4:-t}"
mountpoint="${WINEPREFIX%/}.smalldrive-$drive"
letter="$WINEPREFIX/dosdevices/$drive:"

mkdir -p "$mountpoint"
mount_cmd=(mount -t tmpfs -o "size=$size" tmpfs "$mountpoint")
if [ "$(id -u)" != 0 ]; then mount_cmd=(sudo -n "${mount_cmd[@]}"); fi
if ! "${mount_cmd[@]}" 2>/dev/null; then
    echo "no tmpfs mount allowed here: small-drive tests skipped"
    exit 77
fi
cleanup() {
    rm -f "$letter"
    if [ "$(id -u)" != 0 ]; then sudo -n umount "$mountpoint"; else umount "$mountpoint"; fi
}
trap cleanup EXIT
ln -sfn "$mountpoint" "$letter"
VESTAR_SMALL_DRIVE="${drive^^}:\\" "$here/../../../tools/wine-run.sh" "$1" --gtest_filter="$filter"
