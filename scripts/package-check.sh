#!/usr/bin/env bash
# Builds the Debian package from a configured and built build folder and checks what it holds, then
# runs lintian on it: an error or a warning fails the check. (None is overridden today; one that must
# be would go, with its reason, in an override file installed as usr/share/lintian/overrides/lumetra.)
#   bash scripts/package-check.sh [BUILD_DIR]      (default: build)
# The package is left in BUILD_DIR/package/. Exits non-zero, naming every problem, when a check fails.
# Needs lintian, appstreamcli (appstream) and desktop-file-validate (desktop-file-utils).
set -uo pipefail

build=${1:-build}
die() {
    echo "package-check: $*" >&2
    exit 1
}

[ -f "$build/CPackConfig.cmake" ] || die "$build is not a configured build folder (no CPackConfig.cmake)"
build=$(cd "$build" && pwd)
for tool in cpack dpkg-deb dpkg lintian appstreamcli desktop-file-validate; do
    command -v "$tool" >/dev/null || die "needs $tool (bash scripts/dev.sh test installs it)"
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
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/lumetra.png \
    share/metainfo/lumetra.metainfo.xml share/man/man1/lumetra.1.gz share/man/man1/lumetra-cli.1.gz \
    share/doc/lumetra/copyright share/doc/lumetra/changelog.gz; do
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
    desktop-file-validate "$desktop" >&2 || fail "desktop-file-validate rejects the desktop entry"
fi

# The changelog and the AppStream data name the release; a new version needs an entry in both.
changelog=$root$prefix/share/doc/lumetra/changelog.gz
if [ -f "$changelog" ]; then
    logged=$(gzip -dc "$changelog" | sed -n '1s/^lumetra (\([^)]*\)).*/\1/p')
    [ "$logged" = "$version" ] ||
        fail "share/debian/changelog's latest entry is for version '$logged', not $version"
fi
metainfo=$root$prefix/share/metainfo/lumetra.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q "<release version=\"$version\"" "$metainfo" ||
        fail "share/metainfo/lumetra.metainfo.xml has no <release> for version $version"
    # The component id is the desktop entry's, lumetra, which is no reverse domain name; one comes
    # with a domain of the project's own (and a renamed desktop entry), until then an info, not a
    # warning.
    appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$metainfo" >&2 ||
        fail "appstreamcli validate rejects share/metainfo/lumetra.metainfo.xml"
fi

# Lintian warns that it runs as root (as CI does) but works all the same.
lintian --fail-on error,warning --display-info --show-overrides --tag-display-limit 0 "$deb" ||
    fail "lintian found errors or warnings (above)"

if [ $failures -ne 0 ]; then
    echo "package-check: $failures check(s) failed for $deb" >&2
    exit 1
fi
echo "package-check: $deb is complete"
