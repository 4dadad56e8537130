#!/usr/bin/env bash
# bash scripts/dev.sh windows: Lumetra for 64-bit Windows, made on Debian.
#   1. builds Qt (qtbase), LittleCMS and GoogleTest for Windows once (scripts/windows/deps.sh, cached),
#   2. cross-builds Lumetra and its tests into build-windows/build,
#   3. runs the whole suite under Wine on a private X display,
#   4. makes build-windows/Lumetra-<version>-win64.zip and Lumetra-<version>-win64.exe (installer),
#   5. checks both in fresh Wine prefixes against the Linux build (scripts/windows/check-artefacts.sh).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build-windows
jobs=$(nproc 2>/dev/null || echo 2)
cd "$root"

step() { echo "== windows: $* ($(date +%H:%M:%S))"; }

step "libraries"
deps=$(bash scripts/windows/deps.sh)
eval "$deps"
mkdir -p "$out"

# The licences of what ships beside the program.
licences=$out/licences
rm -rf "$licences"
mkdir -p "$licences"
cp "$qtbase_src/debian/copyright" "$licences/Qt-qtbase-copyright.txt"
for f in "$qtbase_src"/LICENSES/LGPL-3.0-only.txt "$qtbase_src"/LICENSES/GPL-3.0-only.txt \
         "$qtbase_src"/LICENSES/GPL-2.0-only.txt; do
    [ -f "$f" ] && cp "$f" "$licences/Qt-$(basename "$f")"
done
cp "$lcms_src/COPYING" "$licences/LittleCMS-COPYING.txt"
for pkg in gcc-mingw-w64-base mingw-w64-common; do
    [ -f "/usr/share/doc/$pkg/copyright" ] && cp "/usr/share/doc/$pkg/copyright" "$licences/MinGW-$pkg-copyright.txt"
done

# Every Windows program of the build runs through this: its own Wine prefix, the DLLs' folders.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_dlls="Z:$qt_prefix/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib;Z:$gtest_prefix/bin"
runner=$out/wine-run
cat >"$runner" <<EOF
#!/bin/sh
# Runs a Windows program of the build under Wine (CTest's emulator).
export WINEPREFIX='$out/wine' WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export WINEPATH='$wine_dlls' QT_PLUGIN_PATH='Z:$qt_prefix/plugins'
exec wine "\$@"
EOF
chmod +x "$runner"
if [ ! -f "$out/wine/system.reg" ]; then
    step "Wine prefix for the tests"
    WINEPREFIX=$out/wine wineboot -i >/dev/null 2>&1
fi

step "cross-building Lumetra"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$out/build" -G Ninja -DLUMETRA_PKG_CONFIG_LIBDIR="$lcms_prefix/lib/pkgconfig" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt_prefix;$gtest_prefix" -DCMAKE_FIND_ROOT_PATH="$qt_prefix;$gtest_prefix;$lcms_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DLUMETRA_TEST_EMULATOR="$runner" -DLUMETRA_WERROR=ON \
    -DLUMETRA_WINDOWS_LICENCES="$licences" "${launcher[@]}" >/dev/null
cmake --build "$out/build" -j "$jobs"

step "the test suite under Wine"
# The window tests use the Windows platform plugin, which needs an X display under Wine.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$out/build" --output-on-failure -j "$jobs" --timeout 300

step "artefacts"
(cd "$out/build" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
version=$(sed -n 's/^CPACK_PACKAGE_VERSION:.*=//p' "$out/build/CMakeCache.txt")
version=${version:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/build/CMakeCache.txt")}
zip=$out/Lumetra-$version-win64.zip
installer=$out/Lumetra-$version-win64.exe
cp "$out/build/Lumetra-$version-win64.zip" "$zip"
cp "$out/build/Lumetra-$version-win64.exe" "$installer"

step "checking the artefacts"
bash scripts/windows/check-artefacts.sh "$zip" "$installer"

echo
echo "Windows artefacts:"
echo "  portable zip: $zip"
echo "  installer:    $installer"
