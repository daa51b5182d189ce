#!/usr/bin/env bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and warnings as errors,
# then runs every test. Tests that need OpenGL run under Xvfb with Mesa's software renderer,
# so no display or GPU is needed. The benchmarks are left out: they mean something only built
# optimised (scripts/run-bench.sh), and under the sanitizers they would only lengthen the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DGRUMBO_SANITIZE=ON -DGRUMBO_WERROR=ON \
    -DGRUMBO_BENCH=OFF > /dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" ctest --output-on-failure -j"$(nproc)" "$@"
