#!/usr/bin/env bash
# Installs what is missing (test packages too), builds, starts a CUPS scheduler with a
# PDF queue for the printing tests, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
bash scripts/build.sh -DTAVISTO_BUILD_TESTS=ON -DTAVISTO_BUILD_BENCH=ON  # also after run.sh switched them off
bash scripts/test-cups.sh
cd build
ctest --output-on-failure --parallel "$(nproc)"
