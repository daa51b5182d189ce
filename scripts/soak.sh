#!/usr/bin/env bash
# Builds the sanitized game, then runs its soak for MINUTES of real time: four computers play match after match on random
# maps under Xvfb, the game checking every body each frame. Fails on a crash, a sanitizer report,
# a failed check, or a heap in use after the last match more than 10 % above that after the first.
# The heap in use (blocks allocated and not freed) is what tells a leak: the resident size also
# holds what the allocator keeps of freed blocks for reuse (the renderer's per-frame buffers on the
# busiest frame so far, the quarantine), so it climbs over the first matches with nothing leaked.
#   scripts/soak.sh MINUTES    (in build-test, the sanitized build the tests use)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
minutes="${1:?usage: scripts/soak.sh MINUTES}"
build="build-test"
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGRUMBO_SANITIZE=ON -DGRUMBO_WERROR=ON > /dev/null
cmake --build "$build" -j"$(nproc)" > /dev/null
game="$root/$build/run/Grumbo"

work="$(mktemp -d)"
# shellcheck source=scripts/xvfb-session.sh
source "$root/scripts/xvfb-session.sh"
# A small quarantine: freed memory held back to catch use-after-free would otherwise look like
# growth between the first match and the last.
export ASAN_OPTIONS="quarantine_size_mb=16"

log="$work/log"
status=0
(cd "$root/$build/run" && exec timeout $((minutes * 60 + 600)) "$game" --soak "$minutes" --windowed) > "$log" 2>&1 || status=$?
grep -E "^Soak" "$log" || true

verdict=""
if grep -qE "AddressSanitizer|LeakSanitizer|runtime error:|UndefinedBehaviorSanitizer" "$log"; then
  verdict="a sanitizer report"
elif [ "$status" -ne 0 ]; then
  verdict="exit status $status"
elif ! summary=$(grep -E "^Soak: [0-9]+ matches, 0 failures" "$log"); then
  verdict="no clean summary line"
else
  growth=$(sed -nE 's/.*; heap in use after the first match .*\(([+-][0-9.]+) %\)$/\1/p' <<< "$summary")
  matches=$(sed -nE 's/^Soak: ([0-9]+) matches.*/\1/p' <<< "$summary")
  if [ -z "$growth" ]; then
    verdict="no heap in use in the summary line"
  elif [ "$matches" -ge 2 ] && awk -v g="$growth" 'BEGIN { exit !(g > 10.0) }'; then
    verdict="the heap in use grew by $growth % from the first match to the last"
  fi
fi
if [ -n "$verdict" ]; then
  echo "soak: FAILED, $verdict"
  tail -n 60 "$log" | sed 's/^/    /'
  exit 1
fi
echo "soak: ok"
