#!/usr/bin/env bash
# Builds the Debian package, installs it with apt as a user would, checks that the installed
# programs work from any folder on their installed device library, that the desktop entry
# validates and the manual pages render, and removes the package again.
#   scripts/package-check.sh            builds in build-package/ (QUILLON_PACKAGE_BUILD_DIR)
# Needs root or sudo; refuses to run while a quillon package is installed, which it would remove.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if dpkg-query -W -f='${Status}' quillon 2>/dev/null | grep -q "install ok installed"; then
    echo "package-check: the quillon package is installed; remove it first (apt-get remove quillon)" >&2
    exit 1
fi

# An optimised build for /usr, without tests: the package holds only what is installed, stripped.
# (RelWithDebInfo's -O2: GCC 12 at -O3 reports a false -Wrestrict in the core.)
build_dir=${QUILLON_PACKAGE_BUILD_DIR:-build-package}
QUILLON_BUILD_DIR=$build_dir ./scripts/build.sh -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF -DQUILLON_BUILD_FUZZ=OFF -DQUILLON_BUILD_GUI=ON
rm -f "$build_dir"/packages/*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/packages/quillon_*.deb)
deb=$(realpath "$deb")
echo "== $deb"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends

work=$(mktemp -d)
installed=0
cleanup() {
    if [ "$installed" = 1 ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y quillon >/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() {  # check "what" command...
    local what=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        echo "ok       $what"
    else
        echo "FAILED   $what"
        sed 's/^/    /' "$work/out" | head -20
        failures=$((failures + 1))
    fi
}

# Every library the programs link must come from a package that Depends names, or they would not
# start on a Debian without the build's development packages.
depends_cover_libraries() {
    local depends missing=0 program needed lib package
    depends=$(dpkg-deb --field "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/[[:space:]]//g')
    dpkg-deb -x "$deb" "$work/root"
    for program in "$work"/root/usr/bin/quillon "$work"/root/usr/bin/quillon-cli; do
        for needed in $(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}'); do
            lib=$(ldd "$program" | awk -v n="$needed" '$1 == n {print $3}')
            package=$(dpkg -S "$(realpath "$lib")" 2>/dev/null | head -1 | cut -d: -f1) || package=
            [ -z "$package" ] && package=$(dpkg -S "$lib" 2>/dev/null | head -1 | cut -d: -f1)
            if [ -z "$package" ] || ! grep -qx "$package" <<<"$depends"; then
                echo "$(basename "$program") links $needed ($lib, package ${package:-unknown}), which Depends does not name"
                missing=1
            fi
        done
    done
    return $missing
}
check "Depends names the package of every library the programs link" depends_cover_libraries
check "the package holds the programs, library, desktop entry, icon, manual pages and udev rule" \
    bash -c "dpkg-deb -c '$deb' | awk '{print \$6}' > '$work/files' &&
             for f in ./usr/bin/quillon ./usr/bin/quillon-cli ./usr/bin/quillon-vport ./usr/share/quillon/quillondevices.txt \
                      ./usr/share/applications/quillon.desktop ./usr/share/icons/hicolor/scalable/apps/quillon.svg \
                      ./usr/share/man/man1/quillon-cli.1.gz ./usr/share/man/man1/quillon.1.gz \
                      ./usr/lib/udev/rules.d/70-quillon-ftdi.rules; do
                 grep -qx \"\$f\" '$work/files' || { echo \"missing \$f\"; exit 1; }
             done"

DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
installed=1

# The programs run as a user would run them, with settings of their own, from another folder.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
cd /tmp
# A small image: 256 bytes counting up from 0 at address 0, with the record checksums.
awk 'BEGIN {
    for (a = 0; a < 256; a += 16) {
        line = sprintf(":10%04X00", a); sum = 16 + int(a / 256) + a % 256
        for (i = 0; i < 16; i++) { line = line sprintf("%02X", a + i); sum += a + i }
        print line sprintf("%02X", (256 - sum % 256) % 256)
    }
    print ":00000001FF" }' >"$work/image.hex"

check "quillon-cli --help lists the commands and the exit statuses" \
    bash -c "quillon-cli --help | grep -q doctor && quillon-cli --help | grep -q 'Exit status'"
check "quillon-cli --version" quillon-cli --version
check "quillon-cli models from /tmp uses the installed device library" \
    bash -c "quillon-cli --json models | grep -q '\"device_file\": \"/usr/share/quillon/quillondevices.txt\"' &&
             quillon-cli models | grep -q PIC18F452"
check "quillon-cli programs and verifies a generated image on the simulated board" \
    quillon-cli --model PIC18F452 --port "sim:$work/chip.hex" program "$work/image.hex" --verify
check "quillon-cli programs and verifies it through the serial backend on a virtual serial port" \
    quillon-vport --chip "$work/virtual-chip.hex" -- \
    quillon-cli --model PIC18F452 --port '{port}' program "$work/image.hex" --verify
check "quillon-cli check-devices" quillon-cli --model PIC18F452 check-devices
check "quillon-cli doctor on the simulated board" quillon-cli --model PIC18F452 doctor --port sim
check "quillon-cli programs and verifies through the FTDI port on a modelled adapter" \
    quillon-cli --model PIC18F452 --port "ftdisim:$work/ftdi-chip.hex" program "$work/image.hex" --verify
check "the udev rule gives the seat's user the four FTDI chips" \
    grep -q 'ATTR{idVendor}=="0403", ATTR{idProduct}=="6001|6015|6014|6010", TAG+="uaccess"' \
    /usr/lib/udev/rules.d/70-quillon-ftdi.rules
check "the desktop entry validates" desktop-file-validate /usr/share/applications/quillon.desktop
render_man() {  # groff warnings count as failures
    local page
    for page in /usr/share/man/man1/quillon-cli.1.gz /usr/share/man/man1/quillon.1.gz; do
        zcat "$page" | groff -man -t -Tutf8 -ww -z 2>&1 | tee "$work/groff" >&2
        [ ! -s "$work/groff" ] || return 1
        man -l "$page" 2>/dev/null | grep -q NAME || return 1
    done
}
check "the manual pages render" render_man
gui_starts() {  # still running after 5 seconds (timeout's 124) counts as started
    local status=0
    QT_QPA_PLATFORM=offscreen QUILLON_SETTINGS_FILE=$work/quillon.ini timeout 5 quillon --help || status=$?
    [ "$status" = 0 ] || [ "$status" = 124 ]
}
check "quillon starts (offscreen)" gui_starts

if [ "$failures" -ne 0 ]; then
    echo "package-check: $failures check(s) failed" >&2
    exit 1
fi
echo "package-check: all checks passed; the package is removed again"
