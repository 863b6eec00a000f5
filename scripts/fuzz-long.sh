#!/usr/bin/env bash
# The long fuzzing run for people: every target until it has run RUNS inputs (default ten million).
# Builds and seeds as scripts/fuzz.sh does; run it at low priority beside other work.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10000000}
QUILLON_FUZZ_RUNS=$runs exec ./scripts/fuzz.sh 86400
