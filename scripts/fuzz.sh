#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them in turn.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS is the time per target (default 60); TARGET is one of command,
# document, batch, typeset (default all four). Any crash, leak, undefined
# behaviour, input slower than the timeout or single allocation beyond 2 GB
# stops the run with a non-zero status; the input is kept in
# $KV_FUZZ_DIR/findings/. The whole process may grow to 4 GB: over a long
# run the sanitizer's allocator keeps memory the inputs have freed (a run of
# ten minutes held 2 GB with 33 MB live).
# Inputs that reach new code collect in $KV_FUZZ_DIR/corpus/, so a later run
# goes on from there; the seeds in fuzz/corpus/ stay as they are.
#
# KV_FUZZ_SEED fixes the fuzzer's random seed, so that a run repeats the
# inputs of an earlier one with the same corpus (test.sh uses it: a test run
# must not pass or fail by chance). Without it every run explores anew.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(command document batch typeset)

dir=${KV_FUZZ_DIR:-build-fuzz}
jobs=${KV_FUZZ_JOBS:-$(nproc)}
CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKV_BUILD_FUZZ=ON >/dev/null
cmake --build "$dir" -j "$jobs"

mkdir -p "$dir/findings"
for target in "${targets[@]}"; do
  case $target in
    command | typeset) seeds=fuzz/corpus/command ;;
    document | batch) seeds=fuzz/corpus/$target ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
  esac
  # The fuzzing build lowers the bounds on one command's work a hundredfold
  # (engine/WorkBounds.h), so that the costliest command takes a second or
  # two under the sanitizers (a tenth of that in a normal build); an input
  # slower than ten seconds is a finding. A document runs many commands,
  # each within its own bounds, so it gets twice as long.
  case $target in
    batch) timeout=20 ;;
    *) timeout=10 ;;
  esac
  work="$dir/corpus/$target"
  mkdir -p "$work"
  log="$dir/findings/$target.log"
  echo "== fuzz_$target: ${seconds} s (log: $log)"
  status=0
  # A long run works in a child process that is replaced from time to time:
  # a single process grows as the sanitizer's allocator keeps freed memory,
  # and a bloated process makes ordinary inputs slow. Any finding still
  # ends the run.
  fork=()
  if [ "$seconds" -gt 120 ]; then
    fork=(-fork=1 -ignore_timeouts=0 -ignore_ooms=0 -ignore_crashes=0)
  fi
  "$dir/fuzz/fuzz_$target" "${fork[@]}" -dict=fuzz/korvalinth.dict -max_total_time="$seconds" \
    -timeout="$timeout" -malloc_limit_mb=2048 -rss_limit_mb=4096 -print_final_stats=1 ${KV_FUZZ_SEED:+-seed=$KV_FUZZ_SEED} \
    -artifact_prefix="$dir/findings/$target-" "$work" "$seeds" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' \
    "$log" || true
  grep -E '^#[0-9]+: cov:' "$log" | tail -n 1 || true  # a forked run's last status
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz_$target found a fault (status $status); the input is in $dir/findings/" >&2
    exit 1
  fi
done
