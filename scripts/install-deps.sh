#!/usr/bin/env bash
# Installs the Debian 12 packages that build, test and run the ITS-90 calculator.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-arphic-uming fonts-noto-cjk
  clang libclang-rt-14-dev
  locales
  xvfb openbox xdotool x11-utils poppler-utils
)

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"

# A comma-decimal locale, so that the tests also run where the user's separator is ",".
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
