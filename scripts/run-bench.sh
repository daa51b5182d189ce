#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them all (under Xvfb, for the ones that draw).
set -euo pipefail
cd "$(dirname "$0")/.."
# Box2D is the reference the physics benchmark measures against; only the benchmarks link it.
scripts/install-deps.sh libbox2d-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DGRUMBO_TESTS=OFF > /dev/null
cmake --build build-bench -j"$(nproc)"
export LIBGL_ALWAYS_SOFTWARE=1
cd build-bench/run
for bench in ../bench/*_bench; do
    echo "== $(basename "$bench")"
    xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$bench" "$@"
done
