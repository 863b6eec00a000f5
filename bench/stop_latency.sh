#!/usr/bin/env bash
# How soon quillon-cli stops a chip operation after SIGINT: program all of a full PIC18F452 image
# on the virtual serial port with every modem-control call taking 20 us (a run of about half a
# minute), interrupted at different points of the run. The time runs from the signal to the end of
# quillon-cli, the power-down's 100 ms of settling included. Target: at most 0.5 s every time, with
# the supply switched off again (an even number of supply toggles) and exit status 4.
# Usage: bench/stop_latency.sh [BIN_DIR] [RUNS]   (default build-release/bin, 5; Linux)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-release/bin}
runs=${2:-5}
for tool in quillon-cli quillon-vport quillon-bench-image; do
    [ -x "$bin/$tool" ] || { echo "$bin/$tool was not built" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# quillon-cli reads settings: a home of its own, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME"
"$bin/quillon-bench-image" PIC18F452 "$work/image.hex" 18

worst=0
missed=0
for ((i = 0; i < runs; i++)); do
    rm -f "$work/counts.txt" "$work/chip.hex"
    "$bin/quillon-vport" --model PIC18F452 --chip "$work/chip.hex" --counts "$work/counts.txt" \
        --call-delay-us 20 -- "$bin/quillon-cli" --device-file data/quillondevices.txt --model PIC18F452 \
        --port '{port}' program "$work/image.hex" >"$work/out" 2>&1 &
    pid=$!
    sleep "$(awk -v i="$i" 'BEGIN { printf "%.2f", 1 + i * 1.7 }')"
    start=$(date +%s%N)
    kill -INT "$pid"
    status=0
    wait "$pid" || status=$?
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    toggles=$(awk '$1 == "td_bytes" { print $2 }' "$work/counts.txt")
    where=$(grep -o 'stopped [^.]*' "$work/out" || echo "(no stop text)")
    ok=yes
    if [ "$status" -ne 4 ] || [ $((toggles % 2)) -ne 0 ] || [ "$ms" -gt 500 ]; then ok=NO missed=1; fi
    printf 'run %d: %s, %4d ms after SIGINT, exit status %d, %s supply toggles  %s\n' \
        $((i + 1)) "$where" "$ms" "$status" "$toggles" "$ok"
    ((ms > worst)) && worst=$ms
done
echo "worst: $worst ms (target <= 500 ms): $([ "$missed" -eq 0 ] && echo met || echo MISSED)"
