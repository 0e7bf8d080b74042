#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default --output-on-failure
