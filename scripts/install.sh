#!/usr/bin/env bash
# Installs what is missing, builds Tavisto (Release) as a Debian package and installs that
# package with apt, which brings the libraries it depends on. --check only configures, in a
# scratch folder, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/configure-check.sh
bash scripts/install-deps.sh --package
if [[ "${1:-}" == "--check" ]]; then
  for tool in cpack dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "install.sh --check: $tool is missing" >&2; exit 1; }
  done
  configure_check -DCMAKE_BUILD_TYPE=Release -DTAVISTO_BUILD_TESTS=OFF -DTAVISTO_BUILD_BENCH=OFF
  exit 0
fi
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVISTO_BUILD_TESTS=OFF -DTAVISTO_BUILD_BENCH=OFF >/dev/null
cmake --build build-package --parallel "$(nproc)"
rm -f build-package/tavisto_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls "$(pwd)"/build-package/tavisto_*.deb)
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb"
echo "Installed $(basename "$deb"): start it with \"tavisto\" or from the application menu (Office)."
