#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game. Extra arguments go to the game (--windowed, --help, ...).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target skarnhold
exec ./build/skarnhold "$@"
