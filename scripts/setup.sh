#!/usr/bin/env bash
# Installs every Debian package the suite needs to build, test, benchmark and
# fuzz. Idempotent: packages already present are left alone and nothing is
# fetched when everything is there.
set -euo pipefail

PACKAGES=(
  build-essential g++ g++-multilib cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libyuv-dev libjpeg-dev libpng-dev libtiff-dev libgif-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libx11-dev libxext-dev libxfixes-dev libxtst-dev libxrender-dev
  xvfb xdotool xclip x11-apps
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
