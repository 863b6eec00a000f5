#!/usr/bin/env bash
# Times a whole-program HEX conversion of one file, quillon-cli convert against srec_cat, RUNS
# times each on this machine. Uses `perf stat` (mean elapsed and CPU time with their spread) where
# it is installed, else a plain timing loop (best and median wall time).
# Usage: bench/compare_srec_cat.sh [FILE.hex] [RUNS]   (needs a build in build/ and srecord)
set -euo pipefail
cd "$(dirname "$0")/.."
input=${1:-${QUILLON_HEX_CORPUS:-../shared/corpus/hex}/readback_pic18f87k90_full_image_crlf.hex}
runs=${2:-40}
cli=${QUILLON_BUILD_DIR:-build}/bin/quillon-cli
command -v srec_cat >/dev/null || { echo "srec_cat is missing (Debian package srecord)" >&2; exit 2; }
[ -x "$cli" ] || { echo "build quillon-cli first ($cli)" >&2; exit 2; }
[ -f "$input" ] || { echo "no such file: $input" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A model large enough for a 128 KB part with 1 KB of EEPROM.
printf 'model: Bench\nflash: 131072\neeprom: 1024\nconfigerased: FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF\n' \
    >"$work/devices.txt"

measure() {  # name, then the command
    local name=$1
    shift
    "$@" >/dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    if command -v perf >/dev/null && perf stat -r 1 true >/dev/null 2>&1; then
        perf stat -r "$runs" "$@" 2>&1 >/dev/null | awk -v name="$name" '
            /task-clock/ { cpu = $1 }
            /time elapsed/ { printf "%-12s elapsed %7.2f ms +- %s   cpu %7.2f ms\n", name, $1 * 1000, $(NF - 1), cpu }'
    else
        for _ in $(seq "$runs"); do
            local start end
            start=$(date +%s%N)
            "$@" >/dev/null 2>&1
            end=$(date +%s%N)
            echo $(((end - start) / 1000))
        done | sort -n | awk -v name="$name" '{ t[NR] = $1 } END {
            printf "%-12s best %7.2f ms   median %7.2f ms   (%d runs)\n", name, t[1] / 1000, t[int((NR + 1) / 2)] / 1000, NR }'
    fi
}

echo "Converting $(basename "$input") ($(wc -c <"$input") bytes), $runs runs each"
measure quillon-cli "$cli" --device-file "$work/devices.txt" convert "$input" "$work/quillon.hex"
measure srec_cat srec_cat "$input" -intel -o "$work/srec.hex" -intel
# What quillon-cli spends before it reads any HEX file: start-up and the device library.
measure start-up "$cli" --device-file "$work/devices.txt" show
