#!/usr/bin/env bash
# Builds what Lumetra needs for 64-bit Windows from Debian's own source packages, with MinGW-w64:
# qtbase, LittleCMS and GoogleTest. Each goes into a folder of the cache named after its
# source version and a hash of how it is built, so a second run finds it and builds nothing.
#
#   bash scripts/windows/deps.sh            prints the folders as shell assignments (for eval)
#
# The cache is $LUMETRA_WINDOWS_CACHE, by default ~/.cache/lumetra-windows; it lives outside the clone
# so a fresh clone reuses it.
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
toolchain=$root/cmake/mingw64-toolchain.cmake
cache=${LUMETRA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/lumetra-windows}
jobs=$(nproc 2>/dev/null || echo 2)
mkdir -p "$cache/src"

log() { echo "windows-deps: $*" >&2; }

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# apt-get source needs a deb-src entry; Debian 12's images ship only the binary one.
ensure_deb_src() {
    if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        log "adding a deb-src entry for bookworm main"
        $sudo tee /etc/apt/sources.list.d/lumetra-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        $sudo apt-get update -qq
    fi
    if ! apt-cache showsrc qt6-base >/dev/null 2>&1 || [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
        $sudo apt-get update -qq
    fi
}

source_version() {
    apt-cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -V | tail -1
}

# Unpacks a Debian source package (with Debian's patches applied) once; prints its folder.
unpack_source() {
    local pkg=$1 version=$2
    local dir="$cache/src/$pkg-$version"
    if [ ! -f "$dir/.unpacked" ]; then
        rm -rf "$dir" "$cache/src/tmp-$pkg"
        mkdir -p "$cache/src/tmp-$pkg"
        (cd "$cache/src/tmp-$pkg" && apt-get source -qq "$pkg=$version" >&2)
        local unpacked
        unpacked=$(find "$cache/src/tmp-$pkg" -mindepth 1 -maxdepth 1 -type d | head -1)
        mv "$unpacked" "$dir"
        rm -rf "$cache/src/tmp-$pkg"
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

key_of() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

ensure_deb_src

# --- Qt -------------------------------------------------------------------------------------------
# Only what the program uses: Core, Gui (with PDF), Widgets, Test; the Windows and offscreen platform
# plugins. No qtsvg: the window draws its tab pictures from PNGs where Qt cannot read SVG. Debian's source drops the wintab headers (no tablet events); without Direct2D, the
# Windows plugin needs the patch next to this script to link.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DFEATURE_pkg_config=OFF
    -DFEATURE_icu=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_testlib=ON -DFEATURE_gui=ON -DFEATURE_widgets=ON
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_androiddeployqt=OFF
    -DFEATURE_windeployqt=OFF -DFEATURE_macdeployqt=OFF -DFEATURE_qmake=OFF -DFEATURE_zstd=OFF
    -DFEATURE_glib=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON -DFEATURE_fontconfig=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_precompile_header=ON
)
host_qt=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

qtbase_version=$(source_version qt6-base)
qt_key=$(key_of "$qtbase_version" "${qt_options[@]}" \
    "$(cat "$here/qtbase-6.4-no-direct2d.patch" "$toolchain")")
qt_prefix="$cache/qt-${qtbase_version%%+*}-$qt_key"

if [ ! -f "$qt_prefix/.done" ]; then
    log "building qtbase $qtbase_version for Windows into $qt_prefix (about 15 minutes on 2 cores)"
    src=$(unpack_source qt6-base "$qtbase_version")
    if [ ! -f "$src/.lumetra-patched" ]; then
        patch -d "$src" -p1 --forward <"$here/qtbase-6.4-no-direct2d.patch" >&2
        touch "$src/.lumetra-patched"
    fi
    rm -rf "$cache/build-qtbase" "$qt_prefix"
    cmake -S "$src" -B "$cache/build-qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${host_qt[@]}" "${qt_options[@]}" >&2
    cmake --build "$cache/build-qtbase" -j "$jobs" >&2
    cmake --install "$cache/build-qtbase" >&2

    rm -rf "$cache/build-qtbase"
    touch "$qt_prefix/.done"
fi

# --- LittleCMS --------------------------------------------------------------------------------
# A static library: one DLL less to ship.
lcms_version=$(source_version lcms2)
lcms_key=$(key_of "$lcms_version" static "$(cat "$toolchain")")
lcms_prefix="$cache/lcms2-$lcms_version-$lcms_key"
if [ ! -f "$lcms_prefix/.done" ]; then
    log "building LittleCMS $lcms_version for Windows"
    src=$(unpack_source lcms2 "$lcms_version")
    rm -rf "$cache/build-lcms2" "$lcms_prefix"
    mkdir -p "$cache/build-lcms2"
    (cd "$cache/build-lcms2" &&
        "$src/configure" --host=x86_64-w64-mingw32 --prefix="$lcms_prefix" --enable-static \
            --disable-shared --without-jpeg --without-tiff --without-zlib \
            CC=x86_64-w64-mingw32-gcc-posix CFLAGS=-O2 >&2 &&
        make -j "$jobs" >&2 && make install >&2)
    rm -rf "$cache/build-lcms2"
    touch "$lcms_prefix/.done"
fi

# --- GoogleTest -------------------------------------------------------------------------------
gtest_version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo unknown)
gtest_key=$(key_of "$gtest_version" "$(cat "$toolchain")")
gtest_prefix="$cache/googletest-$gtest_version-$gtest_key"
if [ ! -f "$gtest_prefix/.done" ]; then
    log "building GoogleTest $gtest_version for Windows"
    rm -rf "$cache/build-gtest" "$gtest_prefix"
    cmake -S /usr/src/googletest -B "$cache/build-gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -Dgtest_disable_pthreads=OFF >&2
    cmake --build "$cache/build-gtest" -j "$jobs" >&2
    cmake --install "$cache/build-gtest" >&2
    rm -rf "$cache/build-gtest"
    touch "$gtest_prefix/.done"
fi

echo "qt_prefix='$qt_prefix'"
echo "qtbase_src='$cache/src/qt6-base-$qtbase_version'"
echo "lcms_src='$cache/src/lcms2-$lcms_version'"
echo "lcms_prefix='$lcms_prefix'"
echo "gtest_prefix='$gtest_prefix'"
