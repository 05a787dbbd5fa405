#!/usr/bin/env bash
# Installs what is missing, builds and starts Korvalinth. Until the desktop
# program lands, this runs the batch runner on the example document, or on
# the file given as the first argument.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target korvalinth
exec build/korvalinth --batch "${1:-examples/intro.kvl}"
