#!/usr/bin/env bash
# Configures and builds into build/ (Release). Usage: build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build --parallel "$(nproc)"
