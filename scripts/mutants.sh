#!/usr/bin/env bash
# The mutation sampler: a developer's tool for judging the tests, not part of CI (a whole list
# takes hours on two cores).
#
# Each mutation of the list (tests/mutants.txt) breaks one rule of the game in one place. The
# sampler copies the repository's tracked files to a scratch folder, builds the unit and GL
# tests there, and for each mutation alone: changes the text, rebuilds incrementally, runs the
# tests, and puts the file back. A mutation is "killed" when a test fails, "survived" when every
# test passes, and "broken" when it does not compile (a mistake in the list, counted apart).
#
# The build is optimised (-O1) without the sanitizers, which runs the suite about twice as fast
# as the README's build; it uses ccache when there is one. Tests run under an Xvfb of their own.
# Each mutant first runs the tests its list entry names (tests:), then, only if it survived them,
# the rest of the unit and GL tests, stopping at the first failure. The window tests are left
# out, and so are the golden whole-match hashes, which fail on any change of behaviour at all and
# so say nothing about which rule a test guards.
#
#   scripts/mutants.sh [--only REGEX] [--list FILE] [--rev REVISION] [--work DIR] [--jobs N]
#                      [--check] [--no-baseline]
#
#   --only REGEX    only the mutations whose name matches (grep -E)
#   --list FILE     another list (default tests/mutants.txt)
#   --rev REVISION  test that commit's code and tests instead of the working tree's files
#   --work DIR      the scratch folder, kept between runs for incremental builds
#                   (default ${TMPDIR:-/tmp}/grumbo-mutants)
#   --jobs N        parallel build and test jobs (default 2)
#   --check         only check that every mutation applies (its text occurs exactly once)
#   --no-baseline   skip the run of the unchanged suite (which must pass for results to mean much)
#
# List format: blocks separated by blank lines, lines starting with # are comments.
#   name:    a short unique name
#   file:    the file to change, from the repository root
#   find:    text that occurs exactly once in that file
#   replace: what it becomes (may be empty: the text is dropped)
#   why:     one line: the rule the change breaks
#   tests:   a ctest regex of the tests to run first (optional; the rest run if they all pass)
# In find and replace, \n stands for a line break and \\ for a backslash.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
args=("$@")
list="$repo/tests/mutants.txt"
only=""
rev=""
work="${TMPDIR:-/tmp}/grumbo-mutants"
jobs=2
check_only=0
baseline=1
# The golden whole-match hashes (as it runs and with the processor's FMA and AVX code off): any
# change of behaviour changes them.
golden='^MatchRunScene\.AComputerMatch(FromAFixedSeed|EndsTheSameWithTheProcessors)'

while [[ $# -gt 0 ]]; do
    case "$1" in
    --only) only="$2"; shift 2 ;;
    --list) list=$(realpath "$2"); shift 2 ;;
    --rev) rev="$2"; shift 2 ;;
    --work) work=$(realpath -m "$2"); shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --check) check_only=1; shift ;;
    --no-baseline) baseline=0; shift ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "Unknown option $1 (try --help)"; exit 2 ;;
    esac
done

# Everything runs under an X server of its own, for the GL tests.
if [[ $check_only -eq 0 && -z ${GRUMBO_MUTANTS_DISPLAY:-} ]]; then
    export GRUMBO_MUTANTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$0" "${args[@]}"
fi
# A & in a replacement is plain text, not the matched text.
shopt -u patsub_replacement 2>/dev/null || true

# ---- The list --------------------------------------------------------------------------------

names=() files=() finds=() replaces=() whys=() focus=()
decode() { # \n and \\ as the list writes them
    local s=${1//\\\\/$'\x01'}
    s=${s//\\n/$'\n'}
    printf '%s' "${s//$'\x01'/\\}"
}
add_entry() {
    [[ -z ${e_name:-}${e_file:-}${e_find:-} ]] && return 0
    if [[ -z ${e_name:-} || -z ${e_file:-} || -z ${e_find:-} || -z ${e_why:-} || ${e_has_replace:-0} -eq 0 ]]; then
        echo "List error near \"${e_name:-?}\": every mutation needs name, file, find, replace and why"
        exit 2
    fi
    if [[ -z $only ]] || grep -qE -- "$only" <<<"$e_name"; then
        names+=("$e_name") files+=("$e_file") finds+=("$(decode "$e_find")")
        replaces+=("$(decode "$e_replace")") whys+=("$e_why") focus+=("${e_tests:-}")
    fi
    e_name="" e_file="" e_find="" e_replace="" e_why="" e_tests="" e_has_replace=0
}
e_name="" e_file="" e_find="" e_replace="" e_why="" e_tests="" e_has_replace=0
while IFS= read -r line || [[ -n $line ]]; do
    case "$line" in
    '#'*) ;;
    '') add_entry ;;
    name:*) e_name=${line#name:} e_name=${e_name# } ;;
    file:*) e_file=${line#file:} e_file=${e_file# } ;;
    find:*) e_find=${line#find:} e_find=${e_find# } ;;
    replace:*) e_replace=${line#replace:} e_replace=${e_replace# } e_has_replace=1 ;;
    why:*) e_why=${line#why:} e_why=${e_why# } ;;
    tests:*) e_tests=${line#tests:} e_tests=${e_tests# } ;;
    *) echo "List error: cannot read the line \"$line\""; exit 2 ;;
    esac
done <"$list"
add_entry
if [[ $(printf '%s\n' "${names[@]}" | sort | uniq -d | wc -l) -ne 0 ]]; then
    echo "List error: names used twice: $(printf '%s\n' "${names[@]}" | sort | uniq -d | tr '\n' ' ')"
    exit 2
fi
total=${#names[@]}
if [[ $total -eq 0 ]]; then
    echo "No mutation in $list matches \"$only\""
    exit 2
fi

# ---- The scratch copy ------------------------------------------------------------------------

src="$work/src"
build="$work/build"
logs="$work/logs"
mkdir -p "$src" "$logs"

# Only files whose content changed are copied (and so rebuilt); files gone from the tree go.
incoming="$work/incoming"
rm -rf "$incoming"
mkdir -p "$incoming"
if [[ -n $rev ]]; then
    git -C "$repo" archive "$rev" | tar -x -C "$incoming"
else
    git -C "$repo" ls-files -z | (cd "$repo" && tar --null -T - -cf -) | tar -x -C "$incoming"
fi
(cd "$incoming" && find . -type f) | while IFS= read -r f; do
    if ! cmp -s "$incoming/$f" "$src/$f"; then
        mkdir -p "$(dirname "$src/$f")"
        cp "$incoming/$f" "$src/$f"
    fi
done
(cd "$src" && find . -type f) | while IFS= read -r f; do
    [[ -e $incoming/$f ]] || rm -f "$src/$f"
done
rm -rf "$incoming"

# Whether the text occurs exactly once: how often it occurs.
occurrences() {
    local content="$1" text="$2"
    local without=${content//"$text"/}
    echo $(((${#content} - ${#without}) / ${#text}))
}
read_file() { # keeps trailing line breaks
    local content
    content=$(cat "$1"; printf x)
    printf '%s' "${content%x}"
}

refused=()
for ((i = 0; i < total; i++)); do
    path="$src/${files[i]}"
    if [[ ! -f $path ]]; then
        echo "refused ${names[i]}: no file ${files[i]}"
        refused+=("${names[i]}")
        continue
    fi
    n=$(occurrences "$(read_file "$path")" "${finds[i]}")
    if [[ $n -ne 1 ]]; then
        echo "refused ${names[i]}: its text occurs $n times in ${files[i]}, not once"
        refused+=("${names[i]}")
    fi
done
if [[ $check_only -eq 1 ]]; then
    echo "$((total - ${#refused[@]})) of $total mutations apply"
    [[ ${#refused[@]} -eq 0 ]]
    exit
fi

export LIBGL_ALWAYS_SOFTWARE=1

# ---- Build and test --------------------------------------------------------------------------

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
generator=()
if [[ ! -f $build/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
cmake -S "$src" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DCMAKE_C_FLAGS_RELEASE=-O1 -DGRUMBO_SANITIZE=OFF -DGRUMBO_WERROR=OFF \
    -DGRUMBO_BENCH=OFF -DGRUMBO_TESTS=ON "${launcher[@]}" >"$logs/configure.log"

build_tests() {
    cmake --build "$build" -j"$jobs" --target unit_tests gl_tests >"$1" 2>&1
}
# Runs the unit and GL tests that match $1 (all when empty) but not $2, up to the first failure.
# Gives the failing test's name, or nothing when all passed.
run_tests() {
    local include="$1" exclude="$2" log="$3"
    local select=()
    [[ -n $include ]] && select=(-R "$include")
    rm -f "$build/Testing/Temporary/LastTestsFailed.log"
    (cd "$build" && ctest -L 'unit|gl' "${select[@]}" -E "$exclude" --no-tests=ignore \
        --stop-on-failure -j"$jobs" >"$log" 2>&1) || true
    if [[ -f $build/Testing/Temporary/LastTestsFailed.log ]]; then
        head -1 "$build/Testing/Temporary/LastTestsFailed.log" | cut -d: -f2-
    fi
}
seconds_since() { echo $(($(date +%s) - $1)); }

mutated_path="" saved_copy="$work/original"
restore() {
    if [[ -n $mutated_path ]]; then
        cp "$saved_copy" "$mutated_path" # a fresh time stamp: the next build recompiles it
        mutated_path=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

echo "Building the unchanged tests in $build (optimised, no sanitizers)..."
start=$(date +%s)
if ! build_tests "$logs/baseline-build.log"; then
    echo "The unchanged tree does not build; see $logs/baseline-build.log"
    exit 1
fi
echo "  built in $(seconds_since "$start") s"
if [[ $baseline -eq 1 ]]; then
    echo "Running the unchanged unit and GL tests..."
    start=$(date +%s)
    failed=$(run_tests "" "$golden" "$logs/baseline-tests.log")
    if [[ -n $failed ]]; then
        echo "The unchanged suite fails ($failed); see $logs/baseline-tests.log"
        exit 1
    fi
    echo "  passed in $(seconds_since "$start") s"
fi

results="$work/results-$(date +%Y%m%d-%H%M%S).txt"
killed=0 survived=() broken=()
declare -A area_total area_killed
index=0
for ((i = 0; i < total; i++)); do
    name=${names[i]}
    if printf '%s\n' "${refused[@]}" | grep -qxF -- "$name"; then
        continue
    fi
    index=$((index + 1))
    path="$src/${files[i]}"
    cp "$path" "$saved_copy"
    content=$(read_file "$path")
    mutated_path=$path
    printf '%s' "${content/"${finds[i]}"/"${replaces[i]}"}" >"$path"

    start=$(date +%s)
    if ! build_tests "$logs/$name.build.log"; then
        restore
        echo "[$index] $name: broken (does not compile; see $logs/$name.build.log)"
        echo "$name broken" >>"$results"
        broken+=("$name")
        continue
    fi
    built=$(seconds_since "$start")
    start=$(date +%s)
    by=""
    if [[ -n ${focus[i]} ]]; then
        by=$(run_tests "${focus[i]}" "$golden" "$logs/$name.tests.log")
    fi
    if [[ -z $by ]]; then
        others="$golden"
        [[ -n ${focus[i]} ]] && others="($golden)|(${focus[i]})"
        by=$(run_tests "" "$others" "$logs/$name.rest.log")
    fi
    restore
    area=${files[i]%%/*}
    area_total[$area]=$((${area_total[$area]:-0} + 1))
    if [[ -n $by ]]; then
        killed=$((killed + 1))
        area_killed[$area]=$((${area_killed[$area]:-0} + 1))
        state="killed by $by"
        echo "$name killed $by" >>"$results"
    else
        state="SURVIVED"
        survived+=("$name")
        echo "$name survived" >>"$results"
    fi
    echo "[$index/$((total - ${#refused[@]}))] $name: $state (build ${built} s, tests $(seconds_since "$start") s)"
done

counted=$((index - ${#broken[@]}))
echo
for area in $(printf '%s\n' "${!area_total[@]}" | sort); do
    echo "  $area: ${area_killed[$area]:-0} of ${area_total[$area]} killed"
done
[[ ${#survived[@]} -gt 0 ]] && echo "Survived: ${survived[*]}"
[[ ${#broken[@]} -gt 0 ]] && echo "Broken (list errors, not counted): ${broken[*]}"
[[ ${#refused[@]} -gt 0 ]] && echo "Refused (list errors, not counted): ${refused[*]}"
echo "Results: $results"
echo "mutants killed: $killed of $counted"
