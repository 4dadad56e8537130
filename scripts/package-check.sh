#!/usr/bin/env bash
# Builds the Debian package from a configured and built build folder and checks what it holds.
#   bash scripts/package-check.sh [BUILD_DIR]      (default: build)
# The package is left in BUILD_DIR/package/. Exits non-zero, naming every problem, when a check fails.
set -uo pipefail

build=${1:-build}
die() {
    echo "package-check: $*" >&2
    exit 1
}

[ -f "$build/CPackConfig.cmake" ] || die "$build is not a configured build folder (no CPackConfig.cmake)"
build=$(cd "$build" && pwd)
for tool in cpack dpkg-deb dpkg; do
    command -v "$tool" >/dev/null || die "needs $tool"
done

# The package's name, version and prefix as CPack was configured with them.
cpack_value() {
    sed -n "s/^set(CPACK_$1 \"\\(.*\\)\")\$/\\1/p" "$build/CPackConfig.cmake" | head -n 1
}
name=$(cpack_value PACKAGE_NAME)
version=$(cpack_value PACKAGE_VERSION)
prefix=$(cpack_value PACKAGING_INSTALL_PREFIX)
arch=$(dpkg --print-architecture)
if [ -z "$name" ] || [ -z "$version" ] || [ -z "$prefix" ]; then
    die "cannot read the package settings from CPackConfig.cmake"
fi

if ! log=$(cmake --build "$build" 2>&1); then
    printf '%s\n' "$log" >&2
    die "the build failed"
fi

out=$build/package
rm -rf "$out"
mkdir -p "$out"
if ! log=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1); then
    printf '%s\n' "$log" >&2
    die "cpack -G DEB failed"
fi
deb=$out/${name}_${version}_${arch}.deb
[ -f "$deb" ] || die "cpack did not make $deb; it made: $(cd "$out" && ls ./*.deb 2>/dev/null)"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }

[ "$(field Package)" = lumetra ] || fail "Package is '$(field Package)', not lumetra"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
for f in Maintainer Description Section Homepage; do
    [ -n "$(field $f)" ] || fail "the control data has no $f"
done
depends=$(field Depends)
[ -n "$depends" ] || fail "the control data declares no Depends"
for dep in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6svg6 qt6-qpa-plugins; do
    case ", $depends," in
    *", $dep "* | *", $dep,"*) ;;
    *) fail "Depends lacks $dep: $depends" ;;
    esac
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
p=.${prefix%/}
for path in bin/lumetra bin/lumetra-cli \
    share/lumetra/CMYK/Standard.IccSwa share/lumetra/help/index.html share/lumetra/colorimetry/SOURCES.md \
    share/applications/lumetra.desktop share/icons/hicolor/scalable/apps/lumetra.svg \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/lumetra.png; do
    grep -qxF "$p/$path" <<<"$contents" || fail "the package lacks $p/$path"
done

# The desktop entry is written at install time; it must name where the files are once installed.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop=$root$prefix/share/applications/lumetra.desktop
if [ -f "$desktop" ]; then
    grep -qxF "Exec=${prefix%/}/bin/lumetra" "$desktop" || fail "desktop entry: Exec is not ${prefix%/}/bin/lumetra"
    grep -qxF "Path=${prefix%/}/share/lumetra" "$desktop" || fail "desktop entry: Path is not ${prefix%/}/share/lumetra"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" >&2 || fail "desktop-file-validate rejects the desktop entry"
    fi
fi

if [ $failures -ne 0 ]; then
    echo "package-check: $failures check(s) failed for $deb" >&2
    exit 1
fi
echo "package-check: $deb is complete"
