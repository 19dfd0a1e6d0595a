#!/usr/bin/env bash
# Installs what is missing, builds the asan preset (warnings as errors, AddressSanitizer,
# UndefinedBehaviorSanitizer and the leak checker) with the benchmarks, and runs every test
# headless under it, the Windows and packaging checks included, ending on CTest's summary line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset asan -DZELVO_BUILD_BENCHMARKS=ON -DZELVO_CHECK_WINDOWS=ON \
    -DZELVO_CHECK_PACKAGING=ON >/dev/null
cmake --build --preset asan
ctest --preset asan
