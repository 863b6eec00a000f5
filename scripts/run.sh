#!/usr/bin/env bash
# Installs what is missing, builds and starts the programmer's window on the simulated programmer
# board, so that it can be tried without hardware; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
exec "${QUILLON_BUILD_DIR:-build}/bin/quillon" --simulated "$@"
