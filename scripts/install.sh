#!/usr/bin/env bash
# Installs what is missing, builds Tavisto (Release) as a Debian package and installs that
# package with apt, which brings the libraries it depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVISTO_BUILD_TESTS=OFF -DTAVISTO_BUILD_BENCH=OFF >/dev/null
cmake --build build-package --parallel "$(nproc)"
rm -f build-package/tavisto_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls "$(pwd)"/build-package/tavisto_*.deb)
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb"
echo "Installed $(basename "$deb"): start it with \"tavisto\" or from the application menu (Office)."
