#!/usr/bin/env bash
# Makes the Windows release on this Debian machine: builds Qt and curl for Windows once (cached,
# see windows-deps.sh), cross-builds both programs with MinGW-w64 and makes
#   zelvo-sms-<version>-win64.zip   one folder to unpack anywhere, set.ini beside the programs;
#   zelvo-sms-<version>-setup.exe   an installer into Program Files (NSIS), /S for a silent one.
#
#   bash scripts/package-windows.sh [OUTPUT_DIR, default build/windows/packages]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
output=$(realpath -m "${1:-$root/build/windows/packages}")
cd "$root"
version=$(sed -n 's/^project(zelvo-sms VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zelvo-sms-$version-win64
build=$root/build/windows/release

prefixes=$(bash scripts/windows/configure.sh "$build" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF)
nice cmake --build "$build" --parallel "${ZELVO_WINDOWS_JOBS:-2}"

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cmake --install "$build" --prefix "$staging/install" --strip >/dev/null
folder=$staging/$name
mv "$staging/install/bin" "$folder"
mkdir "$folder/licenses"
cp "${prefixes%%;*}"/licenses/*.txt "$folder/licenses/"
# Windows' Notepad shows a text without byte-order mark in the ANSI code page.
as_windows_text() { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$@"; }
as_windows_text scripts/windows/read-me.txt >"$folder/说明.txt"
# Where the source of the bundled Qt and curl is: Debian's source packages that were built, by
# name and version (the cache's folder names).
qt_version=${prefixes%%;*}
qt_version=${qt_version##*/qt6-base-}
curl_version=${prefixes##*/curl-}
as_windows_text scripts/windows/source-offer.txt |
    sed "s/@QT_VERSION@/$qt_version/g; s/@CURL_VERSION@/$curl_version/g
         s/@QT_VERSION_URL@/${qt_version//+/%2B}/g; s/@CURL_VERSION_URL@/${curl_version//+/%2B}/g" \
    >"$folder/licenses/源代码.txt"

mkdir -p "$output"
rm -f "$output/$name.zip" "$output/zelvo-sms-$version-setup.exe"
python3 scripts/windows/zip_folder.py "$output/$name.zip" "$folder"

# The uninstaller removes exactly the files it installed, never a folder with the user's own.
(cd "$folder" &&
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|' &&
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
) >"$staging/uninstall-files.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$folder" \
    -DFILE_LIST="$staging/uninstall-files.nsh" \
    -DICON="$root/src/app/pictures/zelvo-sms.ico" -DOUTFILE="$output/zelvo-sms-$version-setup.exe" \
    scripts/windows/installer.nsi
ls "$output/$name.zip" "$output/zelvo-sms-$version-setup.exe"
