#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      default 60; CI runs a short budget, people a long one
# Seeds: the real HEX files beside the project and the supplied device library. New inputs that
# reach new code are kept in build-fuzz/corpus/<target>; a finding stops its target and is saved
# as build-fuzz/crash-* (the script then fails).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_BUILD_FUZZ=ON -DQUILLON_BUILD_GUI=OFF -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF >/dev/null
targets=(fuzz_hex_reader fuzz_device_file fuzz_interpreter)
cmake --build "$build" --target "${targets[@]}"

corpus_dir=${QUILLON_HEX_CORPUS:-../shared/corpus/hex}
seed() {
    local name=$1 dir=$build/corpus/$1
    mkdir -p "$dir"
    case $name in
        fuzz_hex_reader) [ -d "$corpus_dir" ] && find "$corpus_dir" -name '*.hex' -size -64k -exec cp {} "$dir" \; ;;
        fuzz_device_file) cp data/quillondevices.txt "$dir/" ;;
        fuzz_interpreter)
            # Each script line of the supplied library becomes a seed (two bytes of settings first).
            grep -a 'algdef' data/quillondevices.txt | sed 's/^[^:]*: //' | tr -d '\r' | head -40 |
                awk -v d="$dir" '{ f = d "/script" NR; printf "\001\001%s", $0 > f; close(f) }' ;;
    esac
    # Inputs that once found a fault stay in the seeds, so every run checks them again.
    find tests/fuzz/regressions -name "${name#fuzz_}-*" -exec cp {} "$dir" \; 2>/dev/null || true
    echo "$dir"
}

status=0
for target in "${targets[@]}"; do
    dir=$(seed "$target")
    echo "== $target: ${seconds}s"
    max_len=4096
    [ "$target" = fuzz_hex_reader ] && max_len=65536
    runs=()
    [ -n "${QUILLON_FUZZ_RUNS:-}" ] && runs=(-runs="$QUILLON_FUZZ_RUNS")
    if ! "$build/bin/$target" "$dir" -max_total_time="$seconds" "${runs[@]}" -max_len="$max_len" -timeout=30 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/crash-$target-" 2>"$build/$target.log"; then
        status=1
        tail -40 "$build/$target.log"
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$target.log" || true
done
exit $status
