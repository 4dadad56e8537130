#!/usr/bin/env bash
# Checks the Windows artefacts as a user gets them:
#   the zip, unpacked into a fresh Wine prefix, and the installer, run silently (/S) in another,
#   each run lumetra-cli.exe smooth on the sample pair and spec on the sample optimized file in
#   the program's folder (where .\CMYK is); the files must equal the Linux build's byte for byte,
#   but for the lines that carry the date in the locale's format.
#
#   bash scripts/windows/check-artefacts.sh ZIP INSTALLER [LINUX_LUMETRA_CLI]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
zip=$(realpath "$1")
installer=$(realpath "$2")
linux_cli=${3:-$root/build/src/app/lumetra-cli}
work=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-windows-check.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Both sides in the same locale; Wine takes its Windows locale from LANG.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

fail() {
    echo "check-artefacts: $*" >&2
    exit 1
}

if [ ! -x "$linux_cli" ]; then
    echo "check-artefacts: building the Linux lumetra-cli for the reference files"
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build" -j "$(nproc)" --target lumetra-cli >/dev/null
fi

examples=$root/examples
mkdir -p "$work/linux"
(cd "$work/linux" && cp -r "$root/CMYK" . &&
    "$linux_cli" smooth --spectral "$examples/Standard_spectral.txt" --lab "$examples/Standard_lab.txt" \
        -o smooth.txt &&
    "$linux_cli" spec "$examples/Standard_optimized.txt" -o spec.txt)

# The date lines follow the locale's short date format, which differs between the systems.
undated() { grep -av -e '^CREATED ' -e '^; Created:' "$1"; }

# run_in PREFIX FOLDER: the sample builds with the lumetra-cli.exe of FOLDER, started there.
run_in() {
    local prefix=$1 folder=$2 name=$3
    [ -f "$folder/lumetra-cli.exe" ] || fail "$name: no lumetra-cli.exe in $folder"
    for f in CMYK/Standard.IccSwa help/index.html lumetra.exe Qt6Core.dll platforms/qwindows.dll; do
        [ -e "$folder/$f" ] || fail "$name: $f is missing"
    done
    (cd "$folder" &&
        WINEPREFIX=$prefix wine lumetra-cli.exe smooth --spectral "Z:$examples/Standard_spectral.txt" \
            --lab "Z:$examples/Standard_lab.txt" -o "Z:$work/$name-smooth.txt" &&
        WINEPREFIX=$prefix wine lumetra-cli.exe spec "Z:$examples/Standard_optimized.txt" -o "Z:$work/$name-spec.txt") ||
        fail "$name: lumetra-cli.exe failed"
    for doc in smooth spec; do
        cmp -s <(undated "$work/linux/$doc.txt") <(undated "$work/$name-$doc.txt") ||
            fail "$name: the $doc file differs from the Linux build's"
        [ "$(wc -l <"$work/linux/$doc.txt")" = "$(wc -l <"$work/$name-$doc.txt")" ] ||
            fail "$name: the $doc file has another number of lines"
    done
    echo "check-artefacts: $name: smoothing and spec files equal the Linux build's (but the date lines)"
}

# The zip, unpacked into a fresh prefix.
WINEPREFIX=$work/zip-prefix wineboot -i >/dev/null 2>&1
unzip -q "$zip" -d "$work/zip-prefix/drive_c"
folder=$(find "$work/zip-prefix/drive_c" -maxdepth 2 -name lumetra-cli.exe -printf '%h\n' | head -1)
[ -n "$folder" ] || fail "zip: no lumetra-cli.exe at its top"
unexpected=$(cd "$folder" && find . -type f | grep -v -E '^\./(lumetra(-cli)?\.exe|[^/]+\.dll|(platforms|styles)/[^/]+\.dll|CMYK/[^/]+\.IccSwa|help/.*|licences/.*|bin/lumetra-cli\.cmd|README\.md)$' || true)
[ -z "$unexpected" ] || fail "zip: files that do not belong: $unexpected"
run_in "$work/zip-prefix" "$folder" zip
WINEPREFIX=$work/zip-prefix wineserver -k >/dev/null 2>&1 || true

# The installer, silently, into another fresh prefix.
WINEPREFIX=$work/setup-prefix wineboot -i >/dev/null 2>&1
WINEPREFIX=$work/setup-prefix wine "$installer" /S
WINEPREFIX=$work/setup-prefix wineserver -w
folder="$work/setup-prefix/drive_c/Program Files/Lumetra"
[ -f "$folder/Uninstall.exe" ] || fail "installer: no uninstaller in $folder"
run_in "$work/setup-prefix" "$folder" installer
shortcut=$(find "$work/setup-prefix/drive_c" -name 'Lumetra.lnk' | head -1)
[ -n "$shortcut" ] || fail "installer: no Start-menu entry"
# The entry's working folder (a string of the link) is the install folder, where .\CMYK lies.
strings -el "$shortcut" | grep -qFx 'C:\Program Files\Lumetra' ||
    fail "installer: the Start-menu entry does not start in the install folder"
echo "check-artefacts: installer: Start-menu entry starts in the install folder, uninstaller present"
