#!/usr/bin/env bash
# Online play on one machine, measured: a host and two clients of the optimised game under a
# private Xvfb, every seat a computer, one 60-second match per variant. Every process must print
# the same "Online match over" line; each one's traffic line (bytes per second, input delay,
# longest wait, simulation speed) is printed with it.
#   plain  three machines on loopback, three seats
#   four   four seats on three machines (the host brings two): what a four-seat match sends
#   lossy  plain through a UDP relay that drops 5 % of packets each way and holds each 20-80 ms
#   kill   plain, with the second client killed 20 s into the match: the others finish it with a
#          computer in its seat
#   soak   a host and two clients through a relay as poor as a bad internet link (10 % of
#          packets lost and each held 100-250 ms, each way), 15-second matches back to back for
#          --minutes (15), or until --matches have ended: every machine must end every match
#          with the same line; prints matches started and ended, the longest wait, memory at
#          the first and last match on every machine, and bytes per second
#   rtt    a link of a given round trip, loss and jitter (RTT_MS, default 150; LOSS, percent, 5;
#          each packet held RTT_MS/2 each way, give or take a tenth), MACHINES (2 to 4, default
#          4; one seat each, every seat a computer), ROLLBACK (every machine's window, default 8;
#          0: lockstep), MATCH_SECONDS (30), JITTER_MS (how far each packet's hold may stray from
#          RTT_MS/2, default a tenth of it), NO_WINDOW=1 (the machines play without windows, so
#          four of them do not starve each other of CPU time drawing): prints each machine's
#          waits, longest wait and rollbacks
#   cpu    what rollback costs a machine: ROUNDS (3) rounds of the rtt variant, each a lockstep
#          match then one rolling back (ROLLBACK, default 8) on the same link; prints every
#          machine's CPU time per rendered frame (all the process's threads, drawing included)
#          and, per round and over all, rolling back against lockstep
# Each windowed game runs on an X server of its own.
#   scripts/online-loopback.sh [--build DIR] [--minutes M] [--matches N] [VARIANT...]
#     (default: plain four lossy kill; builds the game in build-bench, or uses DIR's, e.g. the
#     package's optimised build in CI)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="build-bench"
soakMinutes=15
soakMatches=0
variants=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --minutes) soakMinutes="$2"; shift 2 ;;
    --matches) soakMatches="$2"; shift 2 ;;
    *) variants+=("$1"); shift ;;
  esac
done
[ ${#variants[@]} -gt 0 ] || variants=(plain four lossy kill)
scripts/install-deps.sh
if [ "$build" = build-bench ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRUMBO_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j"$(nproc)" --target grumbo_game grumbo_udp_relay > /dev/null
game="$root/$build/run/Grumbo"
relay="$root/$build/tools/grumbo_udp_relay"

work="$(mktemp -d)"
# shellcheck source=scripts/xvfb-session.sh
source "$root/scripts/xvfb-session.sh"
pids=()
cleanup_games() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
  for pid in "${displays[@]}"; do kill "$pid" 2>/dev/null || true; done
  displays=()
}
trap 'cleanup_games; kill $xvfb "${displays[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# Each windowed game gets an X server of its own: a fourth window on one shared Xvfb (no window
# manager) can sit in window creation for minutes.
displays=()
own_display() { # name: sets $display to a fresh X server for this game
  start_xvfb "$work/$1.display"
  displays+=("$xvfb_pid")
  display="$xvfb_display"
}

start() { # name, arguments...
  local name="$1"; shift
  display="$DISPLAY"
  case " $* " in *" --no-window "*) ;; *) own_display "$name" ;; esac
  (cd "$root/$build/run" && DISPLAY="$display" exec "$game" "$@" --windowed) > "$work/$name.log" 2>&1 &
  pids+=($!)
  eval "pid_$name=$!"
}

wait_for() { # file, text, seconds
  for _ in $(seq $(($3 * 10))); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

# The soak: matches back to back through the poor relay, every match's end line compared.
soak() {
  local port=$((27200 + RANDOM % 500))
  start host --host --port "$port" --players 3 --bots 1 --time 15
  wait_for "$work/host.log" "Friends join with" 60
  "$relay" $((port + 1)) "$port" 10 100 250 11 > "$work/relay.log" 2>&1 &
  pids+=($!)
  local relay_pid=$!
  start first --join "127.0.0.1:$((port + 1))" --bots 1
  start second --join "127.0.0.1:$((port + 1))" --bots 1
  local machines=(host first second)
  local deadline=$((SECONDS + soakMinutes * 60))
  ended() { grep -c "Online match over" "$work/$1.log" 2>/dev/null || true; }
  while [ $SECONDS -lt $deadline ]; do
    sleep 5
    local least=1000000 m n
    for m in "${machines[@]}"; do
      n=$(ended "$m"); [ "$n" -lt "$least" ] && least=$n
      if grep -qE "back to the title|could not be reached" "$work/$m.log"; then
        echo "  $m left the session:"; grep -E "back to the title|could not be reached" "$work/$m.log" | sed 's/^/    /'
        deadline=0
      fi
    done
    [ "$soakMatches" -gt 0 ] && [ "$least" -ge "$soakMatches" ] && break
  done
  kill -INT "$relay_pid" 2>/dev/null && sleep 0.5
  cleanup_games
  sed 's/^/  relay: /' "$work/relay.log"
  local ok=1 counts=() m
  for m in "${machines[@]}"; do
    grep "Online match over" "$work/$m.log" > "$work/$m.ends" || true
    local started ends
    started=$(grep -c "Online match started" "$work/$m.log" || true)
    ends=$(wc -l < "$work/$m.ends")
    counts+=("$ends")
    echo "  $m: $started matches started, $ends ended"
    grep -E "computers play|out of step|leaves the match|Ignored" "$work/$m.log" | sed "s/^/  $m: /" || true
    # The first and last match's traffic line: bytes, the longest wait, memory.
    grep "Online match traffic" "$work/$m.log" | sed -n '1p;$p' | sed "s/^/  $m: /"
    grep "Online match traffic" "$work/$m.log" |
      sed -nE 's/.*sent ([0-9]+) bytes.s.*longest wait for another machine ([0-9]+) ms.*/\1 \2/p' |
      awk -v m="$m" '{ bytes += $1; if ($2 > wait) wait = $2; n++ }
        END { if (n) printf "  %s: %.0f bytes/s sent on average, longest wait %d ms over %d matches\n", m, bytes / n, wait, n }'
  done
  # Every match any machine ended, every machine ended with the same line (the last match may be
  # cut short by the end of the soak on some of them).
  local least=${counts[0]} c
  for c in "${counts[@]}"; do [ "$c" -lt "$least" ] && least=$c; done
  for m in first second; do
    if ! cmp -s <(head -n "$least" "$work/host.ends") <(head -n "$least" "$work/$m.ends"); then
      echo "  FAILED: $m ended a match differently from the host"; ok=0
    fi
  done
  if [ "$least" -lt 1 ] || { [ "$soakMatches" -gt 0 ] && [ "$least" -lt "$soakMatches" ]; }; then
    echo "  FAILED: only $least matches ended on every machine"; ok=0
  fi
  if [ $ok -eq 1 ]; then
    echo "  every machine ended all $least matches the same"
  else
    status=1
    mkdir -p "$root/$build/online-soak-logs"
    cp "$work"/*.log "$root/$build/online-soak-logs/"
    echo "  the machines' logs are in $build/online-soak-logs/"
  fi
}

# The mean over the machines of the CPU time per rendered frame in an rtt run's output.
cpu_per_frame() {
  sed -nE 's/.*Online match traffic.*CPU ([0-9.]+) ms per rendered frame.*/\1/p' |
    awk '{ s += $1; n++ } END { if (n) printf "%.3f", s / n }'
}

# Lockstep and rollback in turn, round by round, so a busier moment of this shared machine
# weighs on both alike.
cpu_rounds() {
  local rounds="${ROUNDS:-3}" r out lock roll sumLock=0 sumRoll=0
  echo "== cpu ($rounds rounds, ${MACHINES:-4} machines, round trip ${RTT_MS:-150} ms, ${LOSS:-5} % lost)"
  for r in $(seq "$rounds"); do
    out="$(ROLLBACK=0 "$0" --build "$build" rtt)" || { echo "$out"; return 1; }
    lock="$(cpu_per_frame <<< "$out")"
    out="$(ROLLBACK="${ROLLBACK:-8}" "$0" --build "$build" rtt)" || { echo "$out"; return 1; }
    roll="$(cpu_per_frame <<< "$out")"
    [ -n "$lock" ] && [ -n "$roll" ] || { echo "  round $r: no CPU figures"; return 1; }
    echo "  round $r: lockstep $lock ms, rollback $roll ms per rendered frame ($(awk -v a="$roll" -v b="$lock" 'BEGIN { printf "%.3f", a / b }')x)"
    sumLock="$(awk -v a="$sumLock" -v b="$lock" 'BEGIN { print a + b }')"
    sumRoll="$(awk -v a="$sumRoll" -v b="$roll" 'BEGIN { print a + b }')"
  done
  echo "  over all rounds: rollback $(awk -v a="$sumRoll" -v b="$sumLock" 'BEGIN { printf "%.3f", a / b }')x the CPU time per rendered frame of lockstep"
}

status=0
for variant in "${variants[@]}"; do
  if [ "$variant" = cpu ]; then
    cpu_rounds || status=1
    continue
  fi
  if [ "$variant" = soak ]; then
    echo "== soak (${soakMinutes} minutes at most$([ "$soakMatches" -gt 0 ] && echo ", $soakMatches matches"))"
    soak
    continue
  fi
  echo "== $variant"
  port=$((27200 + RANDOM % 500))
  join="127.0.0.1:$port"
  players=3 hostBots=1 seconds=60 clients=(first second) window=()
  [ "$variant" = four ] && players=4 hostBots=2
  if [ "$variant" = rtt ]; then
    players="${MACHINES:-4}" seconds="${MATCH_SECONDS:-30}" window=(--rollback "${ROLLBACK:-8}")
    [ "${NO_WINDOW:-0}" = 1 ] && window+=(--no-window)
    clients=(first second third); clients=("${clients[@]:0:$((players - 1))}")
  fi
  start host --host --port "$port" --players "$players" --bots "$hostBots" --time "$seconds" "${window[@]}"
  # The host answers friends once its waiting screen is up, and says so.
  wait_for "$work/host.log" "Friends join with" 60
  if [ "$variant" = lossy ] || [ "$variant" = rtt ]; then
    hold=(20 80)
    if [ "$variant" = rtt ]; then
      half=$((${RTT_MS:-150} / 2))
      jitter=${JITTER_MS:-$((half / 10))}
      hold=($((half > jitter ? half - jitter : 0)) $((half + jitter)))
      echo "  $players machines, round trip ${RTT_MS:-150} ms, each way held ${hold[0]}-${hold[1]} ms, ${LOSS:-5} % lost each way, rollback window ${ROLLBACK:-8}"
    fi
    "$relay" $((port + 1)) "$port" "$([ "$variant" = rtt ] && echo "${LOSS:-5}" || echo 5)" "${hold[@]}" 7 \
      > "$work/relay.log" 2>&1 &
    pids+=($!)
    relay_pid=$!
    join="127.0.0.1:$((port + 1))"
  fi
  for c in "${clients[@]}"; do start "$c" --join "$join" --bots 1 "${window[@]}"; done
  machines=(host "${clients[@]}")
  if [ "$variant" = kill ]; then
    # Killed once the match has started on every machine and played for a while.
    for m in host first second; do wait_for "$work/$m.log" "Online match started" 300 || true; done
    sleep 20
    kill -9 "$pid_second"
    echo "killed the second client 20 s into the match"
    machines=(host first)
  fi
  ends=()
  for m in "${machines[@]}"; do
    if wait_for "$work/$m.log" "Online match over" 400; then
      ends+=("$(grep -m1 "Online match over" "$work/$m.log")")
    else
      echo "  $m: no end line"; tail -20 "$work/$m.log" | sed 's/^/    /'; status=1
    fi
  done
  # The traffic line comes when the waiting screen is back, after the podium.
  for m in "${machines[@]}"; do wait_for "$work/$m.log" "Online match traffic" 30 || true; done
  [ -n "${relay_pid:-}" ] && kill -INT "$relay_pid" 2>/dev/null && sleep 0.5
  cleanup_games
  for m in "${machines[@]}"; do
    echo "  $m: $(grep -m1 "Online match over" "$work/$m.log" || echo "-")"
    echo "  $m: $(grep -m1 "Online match traffic" "$work/$m.log" || echo "-")"
    grep -E "computers play|out of step|Ignored|[Rr]ollbacks" "$work/$m.log" | sed "s/^/  $m: /" || true
  done
  [ -f "$work/relay.log" ] && sed 's/^/  /' "$work/relay.log" && rm -f "$work/relay.log"
  relay_pid=""
  if [ ${#ends[@]} -eq ${#machines[@]} ] && [ "$(printf '%s\n' "${ends[@]}" | sort -u | wc -l)" -eq 1 ]; then
    echo "  every machine ended the same"
  else
    echo "  FAILED: the machines did not end the same"; status=1
  fi
done
exit $status
