#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them side by side in one run, then prints the four
# ratios with their targets:
#   1 engine   program all of a full PIC18F452 image through the interpreter and the line
#              primitives into a port that only counts, against replaying the same line changes
#   2 window   the same program all started from the main window (offscreen), against the core
#              with a host that does nothing
#   3 sim      program all + verify of full images on the simulated board, in-process and as
#              quillon-cli --port sim:FILE program image.hex --verify (line changes/s, max RSS)
#   4 hex      quillon-cli convert against srec_cat on the largest corpus file and a full
#              PIC18F452 image
# Usage: bench/run.sh [REPETITIONS]   (default 7; build in build-release or QUILLON_BENCH_BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-7}
build=${QUILLON_BENCH_BUILD_DIR:-build-release}
corpus=${QUILLON_HEX_CORPUS:-$(cd .. && pwd)/shared/corpus/hex}
largest=$corpus/readback_pic18f87k90_full_image_crlf.hex

QUILLON_BUILD_DIR=$build ./scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF \
    -DQUILLON_BUILD_BENCH=ON >/dev/null
bin=$build/bin
for tool in quillon-cli quillon-bench-engine quillon-bench-sim quillon-bench-image; do
    [ -x "$bin/$tool" ] || { echo "$bin/$tool was not built (Google Benchmark installed?)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# quillon-cli reads and writes settings: give it a home of its own, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME"
export QT_QPA_PLATFORM=offscreen

echo "Load before the run: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

# In-process benchmarks: the repetitions of each pair interleaved at random, medians compared.
bench() {  # executable, output name
    "$bin/$1" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_format=json \
        --benchmark_out="$work/$2.json" --benchmark_out_format=json >/dev/null
}
median() {  # output name, benchmark name, field
    jq -r --arg name "$2_median" --arg field "$3" \
        '.benchmarks[] | select(.name == $name) | .[$field]' "$work/$1.json"
}
bench quillon-bench-engine engine
if [ -x "$bin/quillon-bench-gui" ]; then bench quillon-bench-gui gui; fi
bench quillon-bench-sim sim

# Whole programs, alternating run by run so that both see the same load.
now_us() { echo $(($(date +%s%N) / 1000)); }
time_pair() {  # runs, output name, then "A command" -- "B command"; writes median times
    local runs=$1 name=$2
    shift 2
    local a=() b=()
    while [ "$1" != -- ]; do a+=("$1"); shift; done
    shift
    b=("$@")
    : >"$work/$name.a"
    : >"$work/$name.b"
    for _ in $(seq "$runs"); do
        local t0 t1 t2
        t0=$(now_us)
        "${a[@]}" >/dev/null 2>&1 || { echo "failed: ${a[*]}" >&2; exit 1; }
        t1=$(now_us)
        "${b[@]}" >/dev/null 2>&1 || { echo "failed: ${b[*]}" >&2; exit 1; }
        t2=$(now_us)
        echo $((t1 - t0)) >>"$work/$name.a"
        echo $((t2 - t1)) >>"$work/$name.b"
    done
}
med() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

cli=("$bin/quillon-cli" --device-file data/quillondevices.txt)
"$bin/quillon-bench-image" PIC18F452 "$work/f452.hex" 18
"$bin/quillon-bench-image" PIC18F4550 "$work/f4550.hex" 18

# 3: the simulated board through quillon-cli; max RSS from GNU time.
sim_cli() {  # model, image; prints "milliseconds max_rss_kb"
    local best_ms=0 rss=0
    for _ in $(seq 3); do
        rm -f "$work/chip.hex"
        /usr/bin/time -f '%e %M' -o "$work/time.txt" \
            "${cli[@]}" --model "$1" --port "sim:$work/chip.hex" program "$2" --verify >/dev/null 2>&1 ||
            { echo "quillon-cli program --verify failed on $1" >&2; exit 1; }
        read -r seconds kb <"$work/time.txt"
        local ms
        ms=$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000 }')
        if [ "$best_ms" -eq 0 ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
        if [ "$kb" -gt "$rss" ]; then rss=$kb; fi
    done
    echo "$best_ms $rss"
}
read -r cli_a_ms cli_a_kb < <(sim_cli PIC18F452 "$work/f452.hex")
read -r cli_b_ms cli_b_kb < <(sim_cli PIC18F4550 "$work/f4550.hex")

# 4: HEX load and save, quillon-cli convert against srec_cat.
hex_runs=$((reps * 3))
have_srec=1
command -v srec_cat >/dev/null || have_srec=0
if [ "$have_srec" = 1 ]; then
    printf 'model: Bench 128K\nflash: 131072\neeprom: 1024\nconfigerased: FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF\n' \
        >"$work/big.txt"
    time_pair "$hex_runs" f452 "${cli[@]}" --model PIC18F452 convert "$work/f452.hex" "$work/q452.hex" -- \
        srec_cat "$work/f452.hex" -intel -o "$work/s452.hex" -intel
    if [ -f "$largest" ]; then
        time_pair "$hex_runs" k90 "$bin/quillon-cli" --device-file "$work/big.txt" convert "$largest" "$work/qk90.hex" -- \
            srec_cat "$largest" -intel -o "$work/sk90.hex" -intel
    fi
fi

# The table.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { if (r == "-") print "n/a"; else print (r <= t ? "met" : "MISSED") }'; }
echo "Load after the run:  $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-44s %16s %16s %8s %8s  %s\n' Measure Program Baseline Ratio Target ""

engine=$(median engine BM_EngineProgramAll real_time)
replay=$(median engine BM_ReplayProgramAll real_time)
changes=$(median engine BM_EngineProgramAll line_changes)
r1=$(ratio "$engine" "$replay")
printf '%-44s %13.2f ms %13.2f ms %8s %8s  %s\n' "1 engine: program all / replay" "$engine" "$replay" "$r1" "1.30" \
    "$(verdict "$r1" 1.30)"
printf '  %s line changes: %.2f ns each in the engine, %.2f ns replayed\n' "$(printf '%.0f' "$changes")" \
    "$(median engine BM_EngineProgramAll ns_per_change)" "$(median engine BM_ReplayProgramAll ns_per_change)"

if [ -f "$work/gui.json" ]; then
    window=$(median gui BM_WindowProgramAll real_time)
    core=$(median gui BM_CoreProgramAll real_time)
    r2=$(ratio "$window" "$core")
    printf '%-44s %13.2f ms %13.2f ms %8s %8s  %s\n' "2 window: program all / core, no-op host" "$window" "$core" \
        "$r2" "1.25" "$(verdict "$r2" 1.25)"
else
    echo "2 window: not built (QUILLON_BUILD_GUI=OFF)"
fi

for fam in A:PIC18F452:FamilyA:$cli_a_ms:$cli_a_kb B:PIC18F4550:FamilyB:$cli_b_ms:$cli_b_kb; do
    IFS=: read -r letter model name ms kb <<<"$fam"
    n=$(median sim "BM_SimProgramVerify$name" line_changes)
    rate=$(median sim "BM_SimProgramVerify$name" changes_per_s)
    mb=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
    printf '%-44s %16s %16s %8s %8s  %s\n' "3 sim, family $letter ($model): max RSS" "$mb MB" "" "" "< 50 MB" \
        "$(awk -v k="$kb" 'BEGIN { print (k < 50 * 1024 ? "met" : "MISSED") }')"
    printf '  program + verify: %.0f line changes, %.1f M/s in-process; quillon-cli %d ms, %.1f M/s\n' \
        "$n" "$(awk -v r="$rate" 'BEGIN { print r / 1e6 }')" "$ms" \
        "$(awk -v n="$n" -v ms="$ms" 'BEGIN { print (ms > 0 ? n / ms / 1000 : 0) }')"
done

if [ "$have_srec" = 1 ]; then
    for pair in f452:"full PIC18F452 image" k90:"$(basename "$largest")"; do
        name=${pair%%:*}
        [ -f "$work/$name.a" ] || continue
        q=$(med "$work/$name.a")
        s=$(med "$work/$name.b")
        r4=$(ratio "$q" "$s")
        printf '%-44s %13.2f ms %13.2f ms %8s %8s  %s\n' "4 hex: convert ${pair#*:}" \
            "$(awk -v u="$q" 'BEGIN { print u / 1000 }')" "$(awk -v u="$s" 'BEGIN { print u / 1000 }')" \
            "$r4" "1.00" "$(verdict "$r4" 1.00)"
    done
    echo "  (quillon-cli convert against srec_cat -intel -o -intel, whole programs, median of $hex_runs alternating runs)"
else
    echo "4 hex: srec_cat is missing (Debian package srecord)"
fi
