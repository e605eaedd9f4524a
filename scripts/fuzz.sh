#!/usr/bin/env bash
# Builds the rules that need no Windows natively under the sanitizers and runs each fuzzer
# for a million inputs or more (FUZZ_RUNS chooses how many), starting from the corpus in
# tests/fuzz/corpus; what they find is kept in the build folder. Prints the inputs each ran.
# VIMBREL_BUILD chooses the build folders as for the test command.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh
host_build=${VIMBREL_HOST_BUILD:-$VIMBREL_BUILD-host}
runs=${FUZZ_RUNS:-1000000}

cmake --preset host-sanitize -B "$host_build" >/dev/null
cmake --build "$host_build"

for fuzzer in profile_integer directory_part; do
  found="$host_build/fuzz-found/$fuzzer"
  log="$host_build/fuzz-$fuzzer.log"
  mkdir -p "$found"
  if ! "$host_build/tests/host/fuzz_$fuzzer" -runs="$runs" -print_final_stats=1 \
      "$found" "tests/fuzz/corpus/$fuzzer" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $fuzzer FAILED; its log is $log" >&2
    exit 1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
  echo "fuzz: $fuzzer ran $executed inputs in ${seconds:-?} s without a finding"
done
