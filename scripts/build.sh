#!/usr/bin/env bash
# Configures and builds into build/ (or the folder in QUILLON_BUILD_DIR); extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUILLON_BUILD_DIR:-build}
generator=()
launcher=()
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    if command -v ninja >/dev/null; then generator=(-G Ninja); fi
    # A compiler cache, where the machine has one, makes rebuilds of other build folders cheap.
    if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
fi
cmake -S . -B "$build_dir" "${generator[@]}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
