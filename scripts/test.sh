#!/usr/bin/env bash
# Installs what is missing (test packages too), builds, starts a CUPS scheduler with a
# PDF queue for the printing tests, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
bash scripts/build.sh
bash scripts/test-cups.sh
cd build
ctest --output-on-failure --parallel "$(nproc)"
