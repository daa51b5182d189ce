#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 60) each, from seed corpora made of the shipped
# data files and the generated sound banks. Needs clang with libFuzzer; installs it when it can,
# and skips cleanly when it cannot.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

need=(clang libclang-rt-14-dev libjsoncpp-dev libsfml-dev cmake pkg-config)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
         --no-install-recommends "${missing[@]}"; } > /dev/null 2>&1; then
    echo "fuzz: clang with libFuzzer is not available here; fuzzing skipped"
    exit 0
  fi
fi
if ! command -v clang++ > /dev/null; then
  echo "fuzz: clang++ not found; fuzzing skipped"
  exit 0
fi

build=build-fuzz
CXX=clang++ cmake -S tests/fuzz -B "$build" -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build "$build" -j"$(nproc)" > /dev/null

# Seeds: a copy, so what the fuzzer adds never lands in the repository.
corpus="$build/corpus"
rm -rf "$corpus"
mkdir -p "$corpus"/{map,map_file,map_list,background,settings,bank,recording,packet,discovery}
for f in data/*.json; do
  case "$(basename "$f")" in
    MapSetting.json) cp "$f" "$corpus/map_list/" ;;
    BackgroundSetting.json) cp "$f" "$corpus/background/" ;;
    *) cp "$f" "$corpus/map/" && cp "$f" "$corpus/map_file/" ;;
  esac
done
printf '%s' '--match Meadow --players 3 --lives 4 --time 300' > "$corpus/settings/args"
printf '%s' '-12.5e3' > "$corpus/settings/number"
for banks in build-test/Resources/Audio build/Resources/Audio build-bench/Resources/Audio; do
  if [ -d "$banks" ]; then
    cp "$banks"/*.bank "$corpus/bank/"
    break
  fi
done
[ -n "$(ls -A "$corpus/bank")" ] || printf 'GRBK' > "$corpus/bank/magic"

# A short recording of each ending: a podium (of an online match, in fixed frames), a match left
# before it ended (in the older version, without a pace line), and one cut off.
printf 'GRUMBO-RECORDING 3\nseed 7\npace 60\nsetting Lives=3\nsetting MapName=Meadow\nframes\n16 0 0 0 0\n17 7ff 81 0 400\nresult 1 2\n' \
  > "$corpus/recording/podium"
printf 'GRUMBO-RECORDING 2\nseed 1\nframes\n1000 3 0 0 0\nresult\n' > "$corpus/recording/left"
printf 'GRUMBO-RECORDING 3\nseed 9\npace 0\nsetting %%25=%%3D\nframes\n1 0 0 0 0\n2 1' > "$corpus/recording/cut"

# Online packets: a hello with its seats as chosen, a start, and inputs with two runs and
# acknowledgements.
printf '\x01\x05abcde\x01\x02\x03\x04\x05\x06\x07\x08\x02\x01\x01\x01\x00\x01\x03\x03\x04\x01\x02\x00\x01\x02' > "$corpus/packet/hello"
printf '\x05\x06Meadow\x03\xb4\x00\x03\x00\x00\x01\x00\x00\x00\x00\x01\x01\x01\x02\x28\x00\x01\x01\x02\x02\x00\x01\x14\x00\x02\x02\x03\xff\x00\x01\x00\x00\x03\x03\x04\x01\x00\x07\x00\x00\x00\x03' \
  > "$corpus/packet/start"
printf '\x06\x01\x00\x02\x00\x03\x00\x00\x00\x02\xff\x07\x00\x00\x02\x10\x00\x00\x00\x01\x51\x00\x02\x09\x00\x00\x00' > "$corpus/packet/inputs"

# Games on the local network: a query (its padding to the size of an answer), and an answer.
{ printf 'GRQ1\x07\x00\x00\x00'; head -c 136 /dev/zero; } > "$corpus/discovery/query"
printf 'GRA1\x07\x00\x00\x00\x2a\x00\x00\x00\x091.0.0-abc\x03den\x06Canyon\x01\x03\x20\x6a' > "$corpus/discovery/answer"

status=0
for target in map map_file map_list background settings bank recording packet discovery; do
  log="$build/${target}.log"
  # Output of the readers (their one-line messages) is silenced; crashes still report.
  if "$build/${target}_fuzz" "$corpus/$target" -max_total_time="$seconds" -close_fd_mask=1 \
       -max_len=65536 -timeout=10 -rss_limit_mb=2048 > "$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1)
    echo "fuzz $target: ${runs:-done}, no findings"
  else
    echo "fuzz $target: FAILED"
    tail -40 "$log"
    status=1
  fi
done
exit $status
