#!/usr/bin/env bash
# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan
ctest --preset asan --output-on-failure
