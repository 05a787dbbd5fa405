#!/usr/bin/env bash
# Builds the benchmarks (Release, -O2) in their own build folder and runs
# them: ./scripts/bench.sh [build-dir] [extra Google Benchmark options...]
# Each program runs with 5 repetitions, the repetitions of its benchmarks
# interleaved in random order (so that a slow spell of a shared machine
# falls on all of them, not on one), and reports medians; pass e.g.
# --benchmark_filter=... to run part of one. Needs libbenchmark-dev and
# libmuparser-dev (muparser is the peer the evaluation is compared with; the
# program itself does not use it).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
shift || true

missing=()
for pkg in libbenchmark-dev libmuparser-dev; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
      -DKV_BUILD_BENCH=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_UI=OFF >/dev/null
cmake --build "$build" --parallel "${KV_BENCH_JOBS:-2}" --target \
      bench_eval bench_surface bench_icurve bench_curve bench_simpl bench_parse bench_rerun bench_render \
      bench_solving bench_symbolic

echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
for b in eval surface icurve curve simpl parse rerun render solving symbolic; do
  echo
  echo "=== bench_$b"
  "$build/bench/bench_$b" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true "$@"
done
