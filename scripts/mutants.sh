#!/usr/bin/env bash
# Measures whether the tests catch faults: each change of scripts/mutants.txt
# is made on its own, the game rebuilt and the suite run. A change the suite
# lets pass is a fault it would let pass too.
#
#   scripts/mutants.sh [--check] [build dir] [name filter]
#
# --check only looks for every change's text, without building. The filter is
# a grep pattern: only changes whose names match are made. Every file is
# restored however the run ends, Ctrl-C included. JOBS, MUTANT_TEST_TIMEOUT
# and MUTANT_SUITE_TIMEOUT (seconds) and MUTANT_BAR (per cent) can be set.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
check=false
if [ "${1:-}" = --check ]; then
  check=true
  shift
fi
build=${1:-$root/build}
filter=${2:-}
list=${MUTANTS_LIST:-$root/scripts/mutants.txt}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# A test running longer than this hangs; the whole suite gets twice the sum.
test_timeout=${MUTANT_TEST_TIMEOUT:-120}
suite_timeout=${MUTANT_SUITE_TIMEOUT:-900}

case $build in /*) ;; *) build=$PWD/$build ;; esac
work=$(mktemp -d)
saved_file=""

restore() {
  if [ -n "$saved_file" ]; then
    # A fresh timestamp, so the next build compiles the original again.
    cat "$work/original" >"$root/$saved_file" && touch "$root/$saved_file"
    saved_file=""
  fi
}
finish() {
  restore
  rm -rf "$work"
}
child=""
exec 3>&2 # the trap may run while a command's output goes to its log
interrupted() {
  if [ -n "$child" ]; then
    kill -TERM -- "-$child" 2>/dev/null
    wait "$child" 2>/dev/null
  fi
  restore
  printf '\nInterrupted: every file is restored.\n' >&3
  exit 130
}
trap finish EXIT
trap interrupted INT TERM HUP

# Runs a command in a process group of its own and waits for it. Waiting in
# `wait` lets an interrupt through at once, and the group ends with it; a
# command in the foreground that handles Ctrl-C itself would swallow it.
run() {
  setsid -w "$@" &
  child=$!
  wait "$child"
  local rc=$?
  child=""
  return "$rc"
}

# Reads the list: "name", "file", "from" and "to" lines, one change each.
names=() files=() froms=() tos=()
name="" file="" from=""
while IFS= read -r line || [ -n "$line" ]; do
  case $line in
  '' | '#'*) continue ;;
  esac
  key=${line%% *}
  value=${line#"$key"}
  value=${value#"${value%%[! ]*}"} # leading blanks are layout
  case $key in
  name) name=$value ;;
  file) file=$value ;;
  from) from=$value ;;
  to)
    names+=("$name") files+=("$file") froms+=("$from") tos+=("$value")
    name="" file="" from=""
    ;;
  *)
    echo "mutants: unknown line in $list: $line" >&2
    exit 2
    ;;
  esac
done <"$list"

# How often $2 occurs in the text $1.
occurrences() {
  local text=$1 n=0
  while [[ $text == *"$2"* ]]; do
    text=${text#*"$2"}
    n=$((n + 1))
  done
  echo "$n"
}

configure() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    if command -v ccache >/dev/null; then
      export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 2
  elif command -v ccache >/dev/null && ! grep -q '^CMAKE_CXX_COMPILER_LAUNCHER:.*ccache' "$build/CMakeCache.txt"; then
    echo "mutants: building $build through ccache from now on"
    cmake "$build" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null || exit 2
  fi
  # Paths relative to the clone, so that clones share ccache's results.
  export CCACHE_BASEDIR=$root
}

# The game and every suite: the tests are out of the default build
build_all() {
  run cmake --build "$build" -j "$jobs" --target all-tests >"$1" 2>&1
}

# 0 when the suite passes; stops at the first failing test. The check of this
# very list is left out: it fails on every change made, catching nothing.
run_suite() {
  run timeout --foreground -k 30 "$suite_timeout" ctest --test-dir "$build" -j "$jobs" \
    -E '^mutants_list_check$' --stop-on-failure --timeout "$test_timeout" \
    --output-on-failure >"$1" 2>&1
}

# "replay_test", or "replay_test (Timeout)" when it hung.
first_failure() {
  grep -m1 -E 'Test +#[0-9]+: .*\*\*\*' "$1" |
    sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*\*\*\*([A-Za-z]+).*/\1 (\2)/; s/ \(Failed\)$//'
}

total=${#names[@]}
if [ "$total" -eq 0 ]; then
  echo "mutants: no changes in $list" >&2
  exit 2
fi

if ! $check; then
  configure
fi
# MUTANTS_NO_BASELINE=1 trusts that the unchanged code passes, to try a few
# changes again quickly.
if ! $check && [ -z "${MUTANTS_NO_BASELINE:-}" ]; then
  echo "Building and testing the unchanged code"
  if ! build_all "$work/build.log"; then
    tail -30 "$work/build.log"
    echo "mutants: the unchanged code does not build" >&2
    exit 2
  fi
  if ! run_suite "$work/suite.log"; then
    tail -30 "$work/suite.log"
    echo "mutants: the suite fails on the unchanged code; nothing to measure" >&2
    exit 2
  fi
fi

caught=0 missed=0 errors=0 unbuilt=0 tried=0
missed_names=() error_names=()
for ((i = 0; i < total; i++)); do
  name=${names[i]} file=${files[i]} from=${froms[i]} to=${tos[i]}
  if [ -n "$filter" ] && ! grep -qE -- "$filter" <<<"$name"; then
    continue
  fi
  tried=$((tried + 1))
  label=$(printf '%2d %s' "$((i + 1))" "$name")
  path=$root/$file
  if [ ! -f "$path" ]; then
    echo "$label: ERROR, $file is gone"
    errors=$((errors + 1)) error_names+=("$name")
    continue
  fi
  # The trailing x keeps the file's last line breaks through $(...).
  text=$(cat "$path" && printf x)
  text=${text%x}
  n=$(occurrences "$text" "$from")
  if [ "$n" -ne 1 ]; then
    if [ "$n" -eq 0 ]; then
      echo "$label: ERROR, the original text is not in $file (moved?): $from"
    else
      echo "$label: ERROR, the original text is in $file $n times: $from"
    fi
    errors=$((errors + 1)) error_names+=("$name")
    continue
  fi
  if $check; then
    echo "$label: found in $file"
    continue
  fi

  cp "$path" "$work/original"
  saved_file=$file
  printf '%s' "${text/"$from"/"$to"}" >"$path"
  log=$work/run.log
  if ! build_all "$log"; then
    # The compiler refusing a change measures nothing about the tests.
    echo "$label: DOES NOT BUILD (not counted)"
    unbuilt=$((unbuilt + 1))
  elif run_suite "$log"; then
    echo "$label: MISSED"
    missed=$((missed + 1)) missed_names+=("$name")
  else
    rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
      echo "$label: caught (the suite hung)"
    else
      echo "$label: caught by $(first_failure "$log")"
    fi
    caught=$((caught + 1))
  fi
  restore
done

if $check; then
  echo "$((tried - errors)) of $tried changes found"
  [ "$errors" -eq 0 ]
  exit
fi

echo "Rebuilding the unchanged code"
build_all "$work/build.log" || echo "mutants: the rebuild failed, see $build" >&2

counted=$((caught + missed))
echo
echo "Caught $caught of $counted changes ($((counted ? 100 * caught / counted : 0)) %)"
[ "$unbuilt" -eq 0 ] || echo "$unbuilt changes did not build"
for n in "${missed_names[@]}"; do echo "  missed: $n"; done
if [ "$errors" -gt 0 ]; then
  echo "ERROR: $errors changes could not be made, their text was not found:" >&2
  for n in "${error_names[@]}"; do echo "  $n" >&2; done
fi
# The bar the suite must clear; a change not made is a fault of the list.
[ "$errors" -eq 0 ] && [ $((100 * caught)) -ge $((${MUTANT_BAR:-90} * counted)) ]
