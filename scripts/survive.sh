#!/usr/bin/env bash
# Starts the game once for every folder of Resources/ (two levels deep), the font and every
# shader file, each time with that one item taken away, and drives it as a player would: once
# past the splash into the menu, once through a short quick match to the podium and back to the
# menu. Fails on a crash, a sanitizer report or more than 20 printed lines in a run.
#   scripts/survive.sh [BUILD_DIR]    (default build-test: the sanitized build the tests use)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${1:-build-test}"
game="$root/$build/run/Grumbo"
if [ ! -x "$game" ]; then
  echo "survive: $game is not built (run scripts/run-tests.sh first)"
  exit 1
fi
command -v xdotool > /dev/null || { echo "survive: xdotool is missing (scripts/install-deps.sh)"; exit 1; }

work="$(mktemp -d)"
# shellcheck source=scripts/xvfb-session.sh
source "$root/scripts/xvfb-session.sh"

# A copy of the run folder and a tree of links to Resources/, without one item.
make_case() {
  rm -rf "$work/case"
  mkdir -p "$work/case/run"
  cp -r "$root/$build/run/shaders" "$work/case/run/shaders"
  cp -rs "$root/$build/Resources" "$work/case/Resources"
  rm -rf "$work/case/$1"
}

# One run: start, drive, stop with SIGTERM (which closes the game as its close button does).
#   run_game LABEL SECONDS_BEFORE_KEY KEY SECONDS_AFTER ARGS...
failures=0
failed=()
run_game() {
  local label="$1" wait="$2" key="$3" after="$4"
  shift 4
  local log="$work/log"
  (cd "$work/case/run" && exec timeout 120 "$game" "$@" > "$log" 2>&1) &
  local pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^Grumbo!$" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  sleep "$wait"
  if [ -n "$window" ]; then xdotool key --window "$window" "$key" 2>/dev/null || true; fi
  sleep "$after"
  if [ -n "$window" ]; then xdotool key --window "$window" Return 2>/dev/null || true; fi
  sleep 1
  kill -TERM "$pid" 2>/dev/null || true
  local status=0
  wait "$pid" || status=$?
  local lines
  lines=$(wc -l < "$log")
  local verdict="ok"
  if [ "$status" -ne 0 ]; then
    verdict="exit status $status"
  elif grep -qE "AddressSanitizer|LeakSanitizer|runtime error:|UndefinedBehaviorSanitizer" "$log"; then
    verdict="sanitizer report"
  elif [ "$lines" -gt 20 ]; then
    verdict="$lines lines printed"
  fi
  if [ "$verdict" = "ok" ]; then
    echo "survive: without $label ($*): ok, $lines lines"
    if [ -n "${SURVIVE_VERBOSE:-}" ]; then sed 's/^/    /' "$log"; fi
  else
    echo "survive: without $label ($*): FAILED, $verdict"
    sed 's/^/    /' "$log" | head -40
    failures=$((failures + 1))
    failed+=("$label ($*): $verdict")
  fi
}

items=()
while IFS= read -r dir; do items+=("Resources/${dir#"$root/$build/Resources/"}"); done \
  < <(find "$root/$build/Resources" -mindepth 1 -maxdepth 2 -type d | sort)
items+=("Resources/COOPBL.ttf")
while IFS= read -r shader; do items+=("run/shaders/$(basename "$shader")"); done \
  < <(find "$root/$build/run/shaders" -type f | sort)

for item in "${items[@]}"; do
  # SURVIVE_ONLY narrows the run to the items whose path holds that text (for a quick look).
  if [[ -n "${SURVIVE_ONLY:-}" && "$item" != *"$SURVIVE_ONLY"* ]]; then continue; fi
  make_case "$item"
  run_game "$item" 5.5 Return 1.5                              # the splash skipped, the title
  run_game "$item" 7.5 t 1.5 --match Meadow --time 1          # a match to the podium, the menu
done
echo "survive: ${#items[@]} items taken away, $failures runs failed"
for f in "${failed[@]}"; do echo "survive: failed without $f"; done
[ "$failures" -eq 0 ]
