#!/usr/bin/env bash
# Installs the Debian 12 packages that build, test, package and run the ITS-90 calculator.
# Safe to run again: when every package is installed already it asks no package server.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3 gettext dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-serialport-dev socat
  fonts-arphic-uming fonts-noto-cjk
  clang libclang-rt-14-dev
  locales libsqlitecpp-dev libsqlite3-dev libxml2-dev libxml2-utils
  libpq-dev postgresql-15
  xvfb openbox xdotool x11-utils poppler-utils
)

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
  if [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" != installed ]; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale, so that the tests also run where the user's separator is ",", and
# a Simplified Chinese one for the command line's messages.
for name in de_DE zh_CN; do
  if ! locale -a 2>/dev/null | grep -qi "^${name}\.utf-\?8\$"; then
    "${sudo[@]}" localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
