#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds with warnings as
# errors and runs every test: the normal build, then the core tests (everything but the widgets) built
# with the address and undefined-behaviour sanitizers, then each fuzz target
# for a minute.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

# Every tracked source keeps the checked-in .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
# The installed tree: its files validated, the installed program run from
# outside the checkout, and the Debian package.
scripts/check-install.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WERROR=ON -DKV_SANITIZE=ON -DKV_BUILD_UI=OFF
cmake --build build-asan -j "$jobs"
# The leak checker stops every thread at exit, and its tracer has crashed
# now and then on threads Mesa leaves running: llvmpipe's rasterizer threads
# (so it renders on the test's own thread, LP_NUM_THREADS=0) and the shader
# disk cache's thread, which is still waiting when the program ends (so the
# cache is off).
MESA_SHADER_CACHE_DISABLE=true LP_NUM_THREADS=0 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The fuzz targets (clang, libFuzzer with the address and undefined-behaviour
# sanitizers), a minute each from a fixed seed: any finding fails the run.
KV_FUZZ_SEED=1 scripts/fuzz.sh 60
