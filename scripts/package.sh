#!/usr/bin/env bash
# Installs what is missing, builds the release preset and makes the two Debian packages from it:
# zelvo-sms (the window) and zelvo-sms-send (the command alone).
#
#   bash scripts/package.sh [OUTPUT_DIR, default build/packages]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
output=$(realpath -m "${1:-$root/build/packages}")
cd "$root"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
mkdir -p "$output"
# CPack stages each package in a folder of its own; only the packages are left in OUTPUT_DIR.
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cpack --config build/release/CPackConfig.cmake -B "$staging" >/dev/null
mv "$staging"/*.deb "$output"/
ls "$output"/zelvo-sms_*.deb "$output"/zelvo-sms-send_*.deb
