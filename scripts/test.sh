#!/usr/bin/env bash
# Installs what is missing, builds the debug preset (warnings as errors) and runs every test
# headless; before that, builds the asan preset and runs the tests that need no web view under
# AddressSanitizer, UndefinedBehaviorSanitizer and the leak checker. Ends on the debug run's
# CTest summary and fails when either run fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset debug >/dev/null
cmake --build --preset debug
cmake --preset asan >/dev/null
cmake --build --preset asan
status=0
# The web engine's helper processes cannot run under the sanitizers; the preset leaves out the
# tests that start it.
ctest --preset asan || status=$?
ctest --preset debug || status=$?
exit "$status"
