#!/usr/bin/env bash
# Installs what is missing, builds the bench preset (optimised, with the benchmarks) and prints
# the performance table: each figure's median beside its floor measured in the same run.
# Extra arguments go to the runner, e.g. --runs 21. Exits 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
exec build/bench/bench/zelvo-bench "$@"
