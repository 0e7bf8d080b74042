#!/usr/bin/env bash
# Installs the Debian 12 packages that build, test and run the ITS-90 calculator.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-noto-cjk fonts-arphic-ukai
  clang libclang-rt-14-dev
)

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"
