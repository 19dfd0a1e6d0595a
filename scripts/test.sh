#!/usr/bin/env bash
# Installs what is missing, builds the asan preset (warnings as errors, AddressSanitizer,
# UndefinedBehaviorSanitizer and the leak checker) and runs every test headless under it,
# ending on CTest's summary line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
