#!/usr/bin/env bash
# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer,
# then the window itself on a real X display with a window manager, driven for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan
ctest --preset asan --output-on-failure -j "$(nproc)"
scripts/drive_window.sh build/asan/ui/its90-calculator
