#!/bin/bash
# Runs the fault matrix's rows on a real small drive: an 8 MiB tmpfs given
# to Wine as drive T:. Exits with 77 (skipped) where the machine does not
# allow the mount; the same faults then stay covered through the write seam.
#   small-drive.sh <fault matrix test program>
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix of the build}"
here="$(cd "$(dirname "$0")" && pwd)"
mountpoint="${WINEPREFIX%/}.smalldrive"
letter="$WINEPREFIX/dosdevices/t:"

mkdir -p "$mountpoint"
mount_cmd=(mount -t tmpfs -o size=8m tmpfs "$mountpoint")
if [ "$(id -u)" != 0 ]; then mount_cmd=(sudo -n "${mount_cmd[@]}"); fi
if ! "${mount_cmd[@]}" 2>/dev/null; then
    echo "no tmpfs mount allowed here: small-drive rows skipped"
    exit 77
fi
cleanup() {
    rm -f "$letter"
    if [ "$(id -u)" != 0 ]; then sudo -n umount "$mountpoint"; else umount "$mountpoint"; fi
}
trap cleanup EXIT
ln -sfn "$mountpoint" "$letter"
VESTAR_SMALL_DRIVE='T:\' "$here/../../../tools/wine-run.sh" "$1" --gtest_filter='*SmallDrive*'
