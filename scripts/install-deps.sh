#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: install-deps.sh [--test | --package]
#   (none)     what building and running the program needs
#   --package  and what building its Debian package needs
#   --test     and what the tests need (the package tests included)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev libjpeg-dev libpng-dev libwmf-dev libcups2-dev libicu-dev
  fonts-liberation qt6-translations-l10n glabels-data
  fp-utils libchm-dev librsvg2-bin qtkeychain-qt6-dev libquazip1-qt6-dev libfreexl-dev
)
case "${1:-}" in
  --package)
    packages+=(dpkg-dev file)
    ;;
  --test)
    packages+=(
      libgtest-dev libgmock-dev libbenchmark-dev sqlite3 python3 gettext
      cups cups-client cups-bsd cups-filters printer-driver-cups-pdf poppler-utils qpdf
      xvfb xauth imagemagick xdotool x11-utils
      dpkg-dev file desktop-file-utils appstream lintian man-db
      clang-14 libfuzzer-14-dev libclang-rt-14-dev
      python3-openpyxl python3-odf python3-xlwt
      radicale python3-radicale xandikos openssl git apache2-utils python3-bcrypt
    )
    ;;
esac

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
