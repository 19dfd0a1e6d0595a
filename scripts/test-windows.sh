#!/usr/bin/env bash
# Cross-builds the project's test programs for 64-bit Windows and runs them under Wine: the
# Windows conversion of set.ini and phone books (code page 936), the settings files with their
# access lists, sending through Schannel to the test SMTP peer on 127.0.0.1, and the window on
# Qt's Windows platform plugin, on a display of its own (Xvfb). Builds Qt and curl for Windows
# first when they are not cached yet (see windows-deps.sh: about an hour on 2 cores), so it is not
# part of CI: run it after changing Windows code, the build, or anything a Windows user meets.
#
#   bash scripts/test-windows.sh [CTEST_ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$root/build/windows/tests

bash scripts/windows/configure.sh "$build" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
    -DZELVO_WARNINGS_AS_ERRORS=ON >/dev/null
nice cmake --build "$build" --parallel "${ZELVO_WINDOWS_JOBS:-2}"

# A display of our own for the window's tests.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$build/display" 2>/dev/null &
xvfb=$!
wine=$build/wine_run.sh
export WINEPREFIX=$build/wine WINEDEBUG=-all
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [[ -s "$build/display" ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$build/display")

# One Wine server for the whole run, in the tests' locale (see wine_run.sh), rather than one
# started per test program. Wine maps the window's 宋体 (SimSun) to a CJK font of this system.
mkdir -p "$WINEPREFIX"
LOCPATH=$build/locale LC_ALL=zh_CN.UTF-8 /usr/lib/wine/wineserver -p
for family in 宋体 SimSun 微软雅黑 "Microsoft YaHei"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$family" \
        /d "Noto Sans CJK SC" /f >/dev/null
done

ctest --test-dir "$build" --output-on-failure --parallel 2 "$@"
