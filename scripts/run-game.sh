#!/usr/bin/env bash
# Builds the game (optimised) with its generated resources and starts it from its run folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRUMBO_TESTS=OFF -DGRUMBO_BENCH=OFF > /dev/null
cmake --build build -j"$(nproc)" --target grumbo_game
cd build/run
exec ./Grumbo
