#!/usr/bin/env bash
# The system calls of the serial backend, counted by the virtual serial port: quillon-cli erases,
# blank-checks, programs (a full image), verifies and reads a PIC18F452 and a PIC18F4550 on it, and
# each operation's modem-control calls are set against the minimum it needs (every level change of
# DTR and RTS, and the two DSR reads of each bit the chip sends), with the time those calls take at
# 5 us each (built-in UART) and 1 ms each (USB adapter). Program all polls each data EEPROM write
# until it is done, so how many calls it makes depends on the pace of the port: it runs twice, with
# the chip's clock counting each call as 5 us and as 1 ms. Target: calls / minimum <= 1.02 for
# program, verify and read.
# Usage: bench/serial_calls.sh [BIN_DIR]   (default build-release/bin; needs quillon-vport, Linux)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-release/bin}
for tool in quillon-cli quillon-vport quillon-bench-image; do
    [ -x "$bin/$tool" ] || { echo "$bin/$tool was not built" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# quillon-cli reads and writes settings: a home of its own, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME"
cli=("$bin/quillon-cli" --device-file data/quillondevices.txt)

count() {  # name: the value from the counts file
    awk -v n="$1" '$1 == n { print $2 }' "$work/counts.txt"
}
duration() {  # calls, seconds per call
    awk -v c="$1" -v s="$2" 'BEGIN { t = c * s; if (t < 60) printf "%.1f s", t; else printf "%d min %d s", t / 60, t % 60 }'
}
row() { printf '%-11s %-20s %10s %10s %7s %10s %14s  %s\n' "$@"; }

row Model Operation Calls Minimum Ratio "at 5 us" "at 1 ms" ""
run() {  # model, operation, vport options...: runs it and prints its row
    local model=$1 operation=$2
    shift 2
    local arguments=("$operation") label=$operation
    case $operation in
        program | verify) arguments+=("$work/image.hex") ;;
        read) arguments+=("$work/back.hex") ;;
    esac
    rm -f "$work/counts.txt"
    if ! "$bin/quillon-vport" --model "$model" --chip "$work/chip.hex" --counts "$work/counts.txt" "$@" -- \
        "${cli[@]}" --model "$model" --port '{port}' "${arguments[@]}" >"$work/out" 2>&1; then
        echo "$model $operation failed:" >&2
        cat "$work/out" >&2
        exit 1
    fi
    local calls minimum ratio verdict="" uart usb
    calls=$(count calls)
    minimum=$(count minimum)
    ratio=$(awk -v a="$calls" -v b="$minimum" 'BEGIN { printf "%.4f", a / b }')
    case $operation in
        program | verify | read)
            verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.02 ? "met (<= 1.02)" : "MISSED (<= 1.02)") }')
            ;;
    esac
    uart=$(duration "$calls" 0.000005)
    usb=$(duration "$calls" 0.001)
    if [ "$operation" = program ]; then
        case "$*" in
            *" 5") label="program, 5 us pace" usb="" ;;
            *) label="program, 1 ms pace" uart="" ;;
        esac
    fi
    row "$model" "$label" "$calls" "$minimum" "$ratio" "$uart" "$usb" "$verdict"
}

for model in PIC18F452 PIC18F4550; do
    "$bin/quillon-bench-image" "$model" "$work/image.hex" 18
    rm -f "$work/chip.hex"
    run "$model" erase
    run "$model" blank-check
    run "$model" program --call-cost-us 1000
    run "$model" program --call-cost-us 5
    run "$model" verify
    run "$model" read
done
echo "    Calls: TIOCMGET, TIOCMBIS and TIOCMBIC served by quillon-vport; minimum: level changes of DTR"
echo "    and RTS plus two DSR reads per bit the chip shifted out. Times are the calls alone, without"
echo "    the chip's programming pulses and waits."
