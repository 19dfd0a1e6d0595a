#!/usr/bin/env bash
# Installs what is missing, builds the bench preset (optimised, with the benchmarks) and prints
# the performance table: each figure's median beside its floor measured in the same run.
# The windows run on an X display of their own that offers OpenGL through Mesa, as a desktop
# does. Extra arguments go to the runner, e.g. --runs 21. Exits 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench

# Xvfb picks a free display and writes its number to the descriptor given.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
    [[ -s "$display_file" ]] && break
    sleep 0.1
done
[[ -s "$display_file" ]] || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n 1 "$display_file")"
if ! grep -qx ' *GLX' <<<"$(xdpyinfo)"; then
    echo "the X display $DISPLAY offers no GLX" >&2
    exit 2
fi
build/bench/bench/zelvo-bench "$@"
