#!/usr/bin/env bash
# Installs what the build needs, builds the calculator and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target its90 its90-calculator
if [ -x build/default/ui/its90-calculator ]; then
  exec build/default/ui/its90-calculator "$@"
fi
exec build/default/cli/its90 --help
