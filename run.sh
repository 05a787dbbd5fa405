#!/usr/bin/env bash
# Installs what is missing, builds and starts Korvalinth. A document given as
# the first argument is opened at start (shown, not executed: F5 runs it).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target korvalinth
exec build/korvalinth "$@"
