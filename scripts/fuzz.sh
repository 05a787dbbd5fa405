#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them in turn.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS is the time per target (default 60); TARGET is one of command,
# document, batch, typeset (default all four). Any crash, leak, undefined
# behaviour, input slower than the timeout or memory beyond 2 GB stops the
# run with a non-zero status; the input is kept in $KV_FUZZ_DIR/findings/.
# Inputs that reach new code collect in $KV_FUZZ_DIR/corpus/, so a later run
# goes on from there; the seeds in fuzz/corpus/ stay as they are.
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
  # The sanitizers make the program about fifteen times slower, and a single
  # command may use up to a second or two of its bounds (ten million scan
  # steps or vertices) in a normal build. A whole document runs many commands,
  # each within its own bounds, so it gets more time than a single line.
  case $target in
    document) timeout=5 ;;
    batch) timeout=20 ;;
    *) timeout=10 ;;
  esac
  work="$dir/corpus/$target"
  mkdir -p "$work"
  log="$dir/findings/$target.log"
  echo "== fuzz_$target: ${seconds} s (log: $log)"
  status=0
  "$dir/fuzz/fuzz_$target" -dict=fuzz/korvalinth.dict -max_total_time="$seconds" \
    -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/$target-" "$work" "$seeds" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+ +(INITED|DONE)|^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' \
    "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz_$target found a fault (status $status); the input is in $dir/findings/" >&2
    exit 1
  fi
done
