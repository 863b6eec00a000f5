#!/usr/bin/env bash
# Builds quillon-cli without libftdi (QUILLON_WITH_FTDI=OFF) and checks that it still runs on the
# modelled FTDI adapter and that --port ftdi says the FTDI path is not built in, with exit status 3.
# Usage: scripts/check-without-ftdi.sh   (builds in build-noftdi or QUILLON_NOFTDI_BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLON_NOFTDI_BUILD_DIR:-build-noftdi}
QUILLON_BUILD_DIR=$build ./scripts/build.sh -DQUILLON_WITH_FTDI=OFF -DQUILLON_BUILD_TESTS=OFF \
    -DQUILLON_BUILD_GUI=OFF -DQUILLON_BUILD_BENCH=OFF >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings of its own, and an empty USB bus: no real adapter is ever looked at.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export QUILLON_USB_SYSFS=$work/bus
mkdir -p "$XDG_CONFIG_HOME" "$QUILLON_USB_SYSFS"
cli=("$build/bin/quillon-cli" --device-file data/quillondevices.txt --model PIC18F452)
if ldd "$build/bin/quillon-cli" | grep -q libftdi; then echo "quillon-cli links libftdi" >&2; exit 1; fi
"${cli[@]}" --port "ftdisim:$work/chip.hex" erase >/dev/null
status=0
"${cli[@]}" --port ftdi erase >/dev/null 2>"$work/err" || status=$?
if [ "$status" != 3 ] || ! grep -q "The FTDI path is not built into this program" "$work/err"; then
    echo "--port ftdi without libftdi: exit status $status, said:" >&2
    cat "$work/err" >&2
    exit 1
fi
echo "without libftdi: quillon-cli builds, runs on the modelled adapter, and --port ftdi says the path is not built in"
