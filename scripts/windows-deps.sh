#!/usr/bin/env bash
# Builds the Windows libraries the program links (Qt base as DLLs, curl's library with Schannel)
# from Debian's own source packages, with the MinGW-w64 cross compiler, and caches them under
# ${XDG_CACHE_HOME:-~/.cache}/zelvo-sms/windows, one folder per package version, so that later runs
# and fresh clones reuse them. Prints the install folders as its last line: "QT_PREFIX;CURL_PREFIX".
#
# Debian's source packages come through a private apt folder inside the cache; the system's apt
# setup is neither read nor changed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
bash "$here/setup.sh" "$here/packages.txt" >&2
bash "$here/setup.sh" "$here/packages-windows.txt" >&2

cache=${XDG_CACHE_HOME:-$HOME/.cache}/zelvo-sms/windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=${ZELVO_WINDOWS_JOBS:-2}
mkdir -p "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial" "$cache/src"

# One run at a time builds into the cache: a second one waits for the first, then reuses its work.
exec 9>"$cache/.lock"
if ! flock -n 9; then
    echo "Another run of windows-deps.sh is building into $cache; waiting for it to finish" >&2
    flock 9
fi

# The suites the system installs from, as source lines.
cat >"$cache/apt/sources.list" <<'LIST'
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
# The cache may lie in a home folder that apt's own download user cannot enter.
apt_private=(-o "Dir::Etc::sourcelist=$cache/apt/sources.list" -o "Dir::Etc::sourceparts=-"
             -o "Dir::State::Lists=$cache/apt/lists" -o "Dir::Cache=$cache/apt/cache"
             -o "APT::Sandbox::User=$(id -un)")

# Newest source version of a package in the private lists ("" before the first update).
source_version() {
    apt-cache "${apt_private[@]}" showsrc "$1" 2>/dev/null |
        awk '/^Version:/ {print $2}' | sort -V | tail -n 1
}

# Unpacks the source package $1 into $cache/src and prints its folder.
fetch_source() {
    local pkg=$1 version
    version=$(source_version "$pkg")
    local dir="$cache/src/$pkg-$version"
    if [[ ! -f "$dir/.unpacked" ]]; then
        rm -rf "$dir"
        (cd "$cache/src" && apt-get "${apt_private[@]}" -qq source --download-only "$pkg=$version" >&2)
        local dsc
        dsc=$(ls "$cache/src/${pkg}_${version#*:}.dsc")
        dpkg-source --no-check -x "$dsc" "$dir" >&2
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

if [[ -z "$(source_version qt6-base)" || -n "${ZELVO_WINDOWS_UPDATE:-}" ]]; then
    apt-get "${apt_private[@]}" -qq update >&2
fi

qt_version=$(source_version qt6-base)
qt_prefix=$cache/qt6-base-$qt_version
if [[ ! -f "$qt_prefix/.complete" ]]; then
    qt_src=$(fetch_source qt6-base)
    qt_build=$cache/build/qt6-base-$qt_version
    mkdir -p "$qt_build"
    echo "Building Qt base $qt_version for Windows in $qt_build (about an hour on 2 cores)" >&2
    # Shared libraries, so that a user can relink Qt (LGPL). Only what the program uses: Core, Gui,
    # Widgets, Test, the Windows platform plugin and the Windows styles. Debian's repack drops the
    # Wintab sources (tablet events); without Direct2D the platform plugin's DirectWrite 3 font
    # database does not link.
    # An interrupted build resumes where it stopped, without configuring again.
    if [[ ! -f "$qt_build/build.ninja" ]]; then
        (cd "$qt_build" && "$qt_src/configure" -prefix "$qt_prefix" -release -shared \
            -qt-host-path /usr -nomake tests -nomake examples \
            -no-opengl -no-icu -no-dbus -no-feature-tabletevent -no-feature-direct2d \
            -no-feature-directwrite3 -no-feature-network -no-feature-sql -no-feature-xml \
            -no-feature-printsupport -no-feature-concurrent -no-feature-vulkan -no-libjpeg \
            -qt-zlib -qt-pcre -qt-libpng -qt-harfbuzz -qt-freetype \
            -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2)
    fi
    nice cmake --build "$qt_build" --parallel "$jobs" >&2
    cmake --install "$qt_build" >&2
    touch "$qt_prefix/.complete"
fi

curl_version=$(source_version curl)
curl_prefix=$cache/curl-$curl_version
if [[ ! -f "$curl_prefix/.complete" ]]; then
    curl_src=$(fetch_source curl)
    curl_build=$cache/build/curl-$curl_version
    echo "Building curl $curl_version for Windows in $curl_build" >&2
    # The library only, SMTP over Schannel (Windows' own TLS and certificate store).
    cmake -S "$curl_src" -B "$curl_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$curl_prefix" \
        -DBUILD_SHARED_LIBS=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
        -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF \
        -DCURL_USE_LIBPSL=OFF -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF \
        -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DCURL_DISABLE_LDAP=ON -DENABLE_MANUAL=OFF >&2
    nice cmake --build "$curl_build" --parallel "$jobs" >&2
    cmake --install "$curl_build" >&2
    touch "$curl_prefix/.complete"
fi

# The licences that come with the DLLs: Qt's own with Debian's record of what its source holds,
# curl's, and those of the MinGW runtime DLLs shipped beside them.
if [[ ! -f "$qt_prefix/licenses/.complete" ]]; then
    qt_src=$(fetch_source qt6-base)
    curl_src=$(fetch_source curl)
    mkdir -p "$qt_prefix/licenses"
    cp "$qt_src/LICENSES/LGPL-3.0-only.txt" "$qt_src/LICENSES/GPL-3.0-only.txt" \
        "$qt_prefix/licenses/"
    cp "$qt_src/debian/copyright" "$qt_prefix/licenses/Qt-copyright.txt"
    cp "$curl_src/COPYING" "$qt_prefix/licenses/curl-COPYING.txt"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$qt_prefix/licenses/gcc-runtime-copyright.txt"
    cp /usr/share/doc/mingw-w64-common/copyright "$qt_prefix/licenses/mingw-w64-copyright.txt"
    touch "$qt_prefix/licenses/.complete"
fi

echo "$qt_prefix;$curl_prefix"
