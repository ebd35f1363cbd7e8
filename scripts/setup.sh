#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, skipping those present.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libpng-dev zlib1g-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  clang libclang-rt-14-dev
  imagemagick xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
