#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs every test headless, under the
# machine's locale and under a comma-decimal one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default -j "$(nproc)"
# Once more where the decimal separator is a comma: nothing may depend on the locale.
LC_ALL=de_DE.UTF-8 ctest --preset default -j "$(nproc)"
