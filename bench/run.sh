#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them side by side in one run, then prints the four
# ratios with their targets:
#   1 engine  program all of a full PIC18F452 image through the interpreter and the line
#             primitives into a port that only counts, against a loop replaying the same changes
#   2 window  the same program all started from the main window (offscreen), against the core
#             with a host that does nothing
#   3 sim     program all + verify of full images on the simulated board, in-process and as
#             quillon-cli --port sim:FILE program image.hex --verify (line changes/s, max RSS)
#   4 hex     quillon-cli convert against srec_cat, on the largest corpus file and a full
#             PIC18F452 image: the loading and saving (each program's start-up taken off), and
#             the whole programs
#   5 serial  the serial backend's modem-control calls per operation of full PIC18F452 and
#             PIC18F4550 images, counted by the virtual serial port, against the minimum, with
#             their time at 5 us (built-in UART) and 1 ms (USB adapter) per call
#             (bench/serial_calls.sh)
#   6 stop    the time from SIGINT to the end of quillon-cli during program all on the virtual
#             serial port at 20 us per call (bench/stop_latency.sh)
#   7 ftdi    program all, read all and verify of full PIC18F452 and PIC18F4550 images through the
#             FTDI bit-bang port on a modelled FT232R, against a USB serial adapter at 1 ms per call
#             and a built-in UART at 5 us per call (quillon-bench-ports), and quillon-cli --port
#             ftdisim:FILE program --verify of the PIC18F4550 image: programmed plus verified
#             seconds, target <= 60 s (aim 20 s)
# In-process pairs run their repetitions interleaved at random and compare median CPU times;
# whole programs alternate run by run. The load of the machine is printed before and after.
# A part that cannot run (a tool not built, srec_cat missing, a benchmark that reports an error)
# makes the script fail, after the table: `bench/run.sh 1` is the smoke check of CI, which asserts
# no timing.
# Usage: bench/run.sh [REPETITIONS]   (default 7)
# Builds in build-release, in Release; QUILLON_BENCH_BUILD_DIR names another folder, and one that
# is already configured (the tests' build, with the benchmarks) is built as it is configured.
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-7}
build=${QUILLON_BENCH_BUILD_DIR:-build-release}

# The HEX corpus: QUILLON_HEX_CORPUS, or a shared/corpus/hex beside the tree or one level up.
corpus=${QUILLON_HEX_CORPUS:-}
if [ -z "$corpus" ]; then
    for candidate in ../shared/corpus/hex ../../shared/corpus/hex; do
        if [ -d "$candidate" ]; then corpus=$(cd "$candidate" && pwd) && break; fi
    done
fi
largest=${corpus:-/nonexistent}/readback_pic18f87k90_full_image_crlf.hex

if [ -n "${QUILLON_BENCH_BUILD_DIR:-}" ] && [ -f "$build/CMakeCache.txt" ]; then
    QUILLON_BUILD_DIR=$build ./scripts/build.sh >/dev/null
else
    QUILLON_BUILD_DIR=$build ./scripts/build.sh -DCMAKE_BUILD_TYPE=Release -DQUILLON_BUILD_TESTS=OFF \
        -DQUILLON_BUILD_BENCH=ON >/dev/null
fi
bin=$build/bin
for tool in quillon-cli quillon-bench-engine quillon-bench-sim quillon-bench-image quillon-bench-ports; do
    [ -x "$bin/$tool" ] || { echo "$bin/$tool was not built (is Google Benchmark installed?)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# quillon-cli reads and writes settings: give it a home of its own, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME"
export QT_QPA_PLATFORM=offscreen
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# In-process benchmarks.
bench() {  # executable, output name
    "$bin/$1" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_out="$work/$2.json" \
        --benchmark_out_format=json >"$work/$2.log" 2>&1 || { cat "$work/$2.log" >&2; exit 1; }
    if grep -q '"error_occurred": true' "$work/$2.json"; then
        echo "$1 reported an error:" >&2
        jq -r '.benchmarks[] | select(.error_occurred) | .name + ": " + .error_message' "$work/$2.json" >&2
        exit 1
    fi
}
median() {  # output name, benchmark name, field: of the median, or of the one run when there is one
    local value
    value=$(jq -r --arg name "$2" --arg field "$3" \
        '[.benchmarks[] | select(.name == $name + "_median")] + [.benchmarks[] | select(.name == $name)]
         | first | .[$field] // empty' "$work/$1.json")
    [ -n "$value" ] || { echo "no $3 of $2 in the $1 benchmarks" >&2; exit 1; }
    echo "$value"
}
cannot_run=()  # the parts that could not run
bench quillon-bench-engine engine
has_gui=0
if [ -x "$bin/quillon-bench-gui" ]; then
    bench quillon-bench-gui gui
    has_gui=1
fi
bench quillon-bench-sim sim

med() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# Whole programs: CPU time (perf stat task-clock), which a busy machine disturbs far less than
# elapsed time, where perf works; elapsed time otherwise.
if command -v perf >/dev/null && perf stat -x, -e task-clock true >/dev/null 2>&1; then
    clock_kind="CPU time"
    run_us() {  # prints the microseconds the command took
        local out
        out=$(perf stat -x, -e task-clock -- "$@" 2>&1 >/dev/null) || { echo "failed: $*" >&2; exit 1; }
        awk -F, '/task-clock/ { printf "%d\n", $1 * 1000 }' <<<"$out"
    }
else
    clock_kind="elapsed time"
    run_us() {
        local t0 t1
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 1000))
    }
fi
time_alternating() {  # runs, output name, commands separated by --; times go to name.1, name.2, ...
    local runs=$1 name=$2
    shift 2
    local commands=() current=()
    for word in "$@" --; do
        if [ "$word" = -- ]; then
            commands+=("$(printf '%q ' "${current[@]}")")
            current=()
        else
            current+=("$word")
        fi
    done
    local i
    for i in "${!commands[@]}"; do : >"$work/$name.$((i + 1))"; done
    for _ in $(seq "$runs"); do
        for i in "${!commands[@]}"; do
            eval "run_us ${commands[$i]}" >>"$work/$name.$((i + 1))"
        done
    done
}

cli=("$bin/quillon-cli" --device-file data/quillondevices.txt)
"$bin/quillon-bench-image" PIC18F452 "$work/f452.hex" 18
"$bin/quillon-bench-image" PIC18F4550 "$work/f4550.hex" 18

# 3: the simulated board through quillon-cli, a fresh chip file each time: median time of five
# runs and the largest max RSS (from GNU time).
sim_cli() {  # model, image; prints "microseconds max_rss_kb"
    local rss=0 kb
    : >"$work/sim.times"
    for _ in $(seq 5); do
        rm -f "$work/chip.hex"
        run_us /usr/bin/time -f '%M' -o "$work/rss.txt" \
            "${cli[@]}" --model "$1" --port "sim:$work/chip.hex" program "$2" --verify >>"$work/sim.times"
        kb=$(tail -1 "$work/rss.txt")
        if [ "$kb" -gt "$rss" ]; then rss=$kb; fi
    done
    echo "$(med "$work/sim.times") $rss"
}
read -r cli_a_us cli_a_kb < <(sim_cli PIC18F452 "$work/f452.hex")
read -r cli_b_us cli_b_kb < <(sim_cli PIC18F4550 "$work/f4550.hex")

# 4: HEX load and save, quillon-cli convert against srec_cat on the same file. Each program's own
# start (quillon-cli show with the same device file and model; srec_cat --version) is timed in the
# same rounds, so that the loading and saving can be told apart from starting the program.
hex_runs=$((reps * 3))
has_srec=0
if command -v srec_cat >/dev/null; then
    has_srec=1
    # A model large enough for the 128 KB part with 1 KB of EEPROM.
    printf 'model: Bench128K\nflash: 131072\neeprom: 1024\nconfigerased: FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF,FF\n' \
        >"$work/big.txt"
    time_alternating "$hex_runs" f452 "${cli[@]}" --model PIC18F452 convert "$work/f452.hex" "$work/q452.hex" -- \
        srec_cat "$work/f452.hex" -intel -o "$work/s452.hex" -intel -- \
        "${cli[@]}" --model PIC18F452 show -- srec_cat --version
    if [ -f "$largest" ]; then
        time_alternating "$hex_runs" k90 "$bin/quillon-cli" --device-file "$work/big.txt" convert "$largest" \
            "$work/qk90.hex" -- srec_cat "$largest" -intel -o "$work/sk90.hex" -intel -- \
            "$bin/quillon-cli" --device-file "$work/big.txt" show -- srec_cat --version
    fi
fi

# The table.
ratio() {  # a / b; a measure of nothing is no result
    awk -v a="$1" -v b="$2" 'BEGIN { if (!(a > 0 && b > 0)) exit 1; printf "%.2f", a / b }' ||
        { echo "no ratio of $1 to $2" >&2; exit 1; }
}
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t ? "met" : "MISSED") }'; }
ms() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.2f ms", v / d }'; }
row() { printf '%-46s %12s %12s %7s %8s  %s\n' "$@"; }

echo "Load average (1, 5, 15 min) before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo
row Measure Program Baseline Ratio Target ""

engine=$(median engine BM_EngineProgramAll cpu_time)
replay=$(median engine BM_ReplayProgramAll cpu_time)
r=$(ratio "$engine" "$replay")
row "1 engine: program all / replay" "$(ms "$engine" 1)" "$(ms "$replay" 1)" "$r" "<= 1.30" "$(verdict "$r" 1.30)"
printf '    %.0f line changes and %.0f DATA IN reads; %.2f ns per change in the engine, %.2f replayed\n' \
    "$(median engine BM_EngineProgramAll line_changes)" "$(median engine BM_EngineProgramAll dsr_reads)" \
    "$(awk -v s="$(median engine BM_EngineProgramAll ns_per_change)" 'BEGIN { print s * 1e9 }')" \
    "$(awk -v s="$(median engine BM_ReplayProgramAll ns_per_change)" 'BEGIN { print s * 1e9 }')"

if [ "$has_gui" = 1 ]; then
    window=$(median gui BM_WindowProgramAll cpu_time)
    core=$(median gui BM_CoreProgramAll cpu_time)
    r=$(ratio "$window" "$core")
    row "2 window: program all / core, no-op host" "$(ms "$window" 1)" "$(ms "$core" 1)" "$r" "<= 1.25" \
        "$(verdict "$r" 1.25)"
else
    echo "2 window: not built (QUILLON_BUILD_GUI=OFF)"
    cannot_run+=("2 window")
fi

for family in "A PIC18F452 FamilyA $cli_a_us $cli_a_kb" "B PIC18F4550 FamilyB $cli_b_us $cli_b_kb"; do
    read -r letter model name us kb <<<"$family"
    changes=$(median sim "BM_SimProgramVerify$name" line_changes)
    rate=$(median sim "BM_SimProgramVerify$name" changes_per_s)
    row "3 sim $letter ($model): quillon-cli max RSS" "$(awk -v k="$kb" 'BEGIN { printf "%.1f MB", k / 1024 }')" \
        "" "" "< 50 MB" "$(awk -v k="$kb" 'BEGIN { print (k < 50 * 1024 ? "met" : "MISSED") }')"
    printf '    program + verify: %.0f line changes; in-process %.1f M changes/s, quillon-cli %s (%.1f M/s)\n' \
        "$changes" "$(awk -v r="$rate" 'BEGIN { print r / 1e6 }')" "$(ms "$us" 1000)" \
        "$(awk -v n="$changes" -v us="$us" 'BEGIN { print n / us }')"
done

if [ "$has_srec" = 1 ]; then
    for pair in "f452 full PIC18F452 image" "k90 $(basename "$largest")"; do
        read -r name label <<<"$pair"
        [ -s "$work/$name.1" ] || continue
        q=$(med "$work/$name.1")
        s=$(med "$work/$name.2")
        q0=$(med "$work/$name.3")
        s0=$(med "$work/$name.4")
        qw=$((q > q0 ? q - q0 : 1))
        sw=$((s > s0 ? s - s0 : 1))
        r=$(ratio "$qw" "$sw")
        echo "4 hex: convert $label"
        row "    load and save (start-up taken off)" "$(ms "$qw" 1000)" "$(ms "$sw" 1000)" "$r" "<= 1.00" \
            "$(verdict "$r" 1.00)"
        row "    whole program" "$(ms "$q" 1000)" "$(ms "$s" 1000)" "$(ratio "$q" "$s")" "" ""
        row "    start-up alone" "$(ms "$q0" 1000)" "$(ms "$s0" 1000)" "$(ratio "$q0" "$s0")" "" ""
    done
    echo "    quillon-cli convert against srec_cat -intel -o -intel; median $clock_kind of $hex_runs alternating runs"
else
    echo "4 hex: srec_cat is missing (Debian package srecord)"
    cannot_run+=("4 hex")
fi
echo "    In-process times are median CPU times of $reps interleaved repetitions."

if [ -x "$bin/quillon-vport" ]; then
    echo "5 serial: modem-control calls per operation on the virtual serial port, full images"
    bench/serial_calls.sh "$bin" | sed 's/^/    /'
else
    echo "5 serial: quillon-vport was not built (Linux only)"
    cannot_run+=("5 serial")
fi

if [ -x "$bin/quillon-vport" ]; then
    echo "6 stop: program all of a full PIC18F452 on the virtual serial port, stopped with SIGINT"
    bench/stop_latency.sh "$bin" | sed 's/^/    /'
else
    echo "6 stop: quillon-vport was not built (Linux only)"
    cannot_run+=("6 stop")
fi

echo "7 ftdi: full images, modelled times (the chip's waits included)"
"$bin/quillon-bench-ports" | sed 's/^/    /'
rm -f "$work/ftdi-chip.hex"
"${cli[@]}" --model PIC18F4550 --port "ftdisim:$work/ftdi-chip.hex" program "$work/f4550.hex" --verify \
    >"$work/ftdi.out" 2>&1 || { cat "$work/ftdi.out" >&2; exit 1; }
programmed=$(sed -n 's/^Chip programmed\. \([0-9.]*\) seconds elapsed\.\.\.$/\1/p' "$work/ftdi.out")
verified=$(sed -n 's/^Chip verified\. \([0-9.]*\) seconds elapsed\.\.\.$/\1/p' "$work/ftdi.out")
total=$(awk -v a="$programmed" -v b="$verified" 'BEGIN { printf "%.2f", a + b }')
row "    quillon-cli ftdisim PIC18F4550 program --verify" "$total s" "" "" "<= 60 s" "$(awk -v t="$total" 'BEGIN { print (t <= 60 ? "met" : "MISSED") }') (aim 20 s)"
echo "    programmed $programmed s + verified $verified s of modelled time"
if [ ${#cannot_run[@]} -gt 0 ]; then
    echo "Parts that could not run: ${cannot_run[*]}" >&2
    exit 3
fi
