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
#   scripts/online-loopback.sh [VARIANT...]      (default: all four; builds in build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(plain four lossy kill)
build="build-bench"
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRUMBO_TESTS=OFF > /dev/null
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
}
trap 'cleanup_games; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT

start() { # name, arguments...
  local name="$1"; shift
  (cd "$root/$build/run" && exec "$game" "$@" --windowed) > "$work/$name.log" 2>&1 &
  pids+=($!)
  eval "pid_$name=$!"
}

wait_for() { # file, text, seconds
  for _ in $(seq $(($3 * 10))); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

status=0
for variant in "${variants[@]}"; do
  echo "== $variant"
  port=$((27200 + RANDOM % 500))
  join="127.0.0.1:$port"
  players=3 hostBots=1
  [ "$variant" = four ] && players=4 hostBots=2
  start host --host --port "$port" --players "$players" --bots "$hostBots" --time 60
  # The host answers friends once its waiting screen is up, and says so.
  wait_for "$work/host.log" "Friends join with" 60
  if [ "$variant" = lossy ]; then
    "$relay" $((port + 1)) "$port" 5 20 80 7 > "$work/relay.log" 2>&1 &
    pids+=($!)
    relay_pid=$!
    join="127.0.0.1:$((port + 1))"
  fi
  start first --join "$join" --bots 1
  start second --join "$join" --bots 1
  machines=(host first second)
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
    grep -E "computers play|out of step|Ignored" "$work/$m.log" | sed "s/^/  $m: /" || true
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
