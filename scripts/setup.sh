#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Safe to run again; needs root (or sudo) and Debian's package archive.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build
  libfreeimage-dev libpng-dev zlib1g-dev libjpeg-dev libarchive-dev
  libcairo2-dev libpango1.0-dev
  qt6-base-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev
  python3 python3-pil imagemagick
  fonts-liberation fontconfig
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
