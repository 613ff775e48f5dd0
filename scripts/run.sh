#!/usr/bin/env bash
# Installs what is missing, builds (Release) and starts Tavisto.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DTAVISTO_BUILD_TESTS=OFF -DTAVISTO_BUILD_BENCH=OFF
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat <<MSG
Tavisto is built: $(pwd)/build/bin/tavisto
There is no display here, so it cannot open its window. Start it on a desktop, or in a
virtual display with:
    sudo apt-get install -y xvfb && xvfb-run -a $(pwd)/build/bin/tavisto
MSG
  exit 1
fi
exec build/bin/tavisto
