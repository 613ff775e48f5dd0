#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: install-deps.sh [--test]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev libjpeg-dev libpng-dev libwmf-dev libcups2-dev
  fonts-liberation
  fp-utils libchm-dev
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev sqlite3
    cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
    xvfb xauth imagemagick xdotool
    clang-14 libfuzzer-14-dev libclang-rt-14-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
