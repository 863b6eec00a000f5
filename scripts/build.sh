#!/usr/bin/env bash
# Configures and builds into build/ (or the folder in QUILLON_BUILD_DIR); extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUILLON_BUILD_DIR:-build}
generator=()
if [ ! -f "$build_dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S . -B "$build_dir" "${generator[@]}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
