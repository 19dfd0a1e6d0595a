#!/usr/bin/env bash
# Configures a Windows cross build of the project: builds or reuses Qt and curl for Windows
# (windows-deps.sh) and points CMake at them and at the host's Qt tools (moc, rcc, uic).
#
#   bash scripts/windows/configure.sh BUILD_DIR [CMAKE_ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$1
shift
prefixes=$(bash "$root/scripts/windows-deps.sh" | tail -n 1)
# ccache where the machine has it: no set-up step installs it.
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=)
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    "${launcher[@]}" -DZELVO_WINDOWS_PREFIXES="$prefixes" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "$@" >/dev/null
echo "$prefixes"
