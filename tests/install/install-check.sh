#!/usr/bin/env bash
# Checks an installation of Lumetra into a scratch prefix.
#   install-check.sh install   BUILD_DIR SOURCE_DIR PREFIX CMAKE        installs the build into PREFIX
#   install-check.sh layout    BUILD_DIR SOURCE_DIR PREFIX              files, icons, desktop entry
#   install-check.sh smoothing BUILD_DIR SOURCE_DIR PREFIX BUILD_CLI    installed lumetra-cli, started where
#                                                                       the launcher starts the program, makes
#                                                                       the same sample smoothing file as the
#                                                                       build-tree one started in SOURCE_DIR
# Exit status 0 passed, 1 failed, 77 skipped (what the check needs is missing from the source tree).
set -uo pipefail

mode=$1
build=$2
src=$3
prefix=$4

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The value of KEY in the [Desktop Entry] group, as written (still escaped).
entry_value() {
    awk -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" {
            eq = index($0, "=")
            if (eq > 0) {
                k = substr($0, 1, eq - 1); sub(/[ \t]+$/, "", k)
                if (k == key) { v = substr($0, eq + 1); sub(/^[ \t]+/, "", v); print v; exit }
            }
        }' "$1"
}

# Undoes the escapes of a desktop entry string value (\s \n \t \r \\).
unescape_string() {
    local in=$1 out="" c
    while [ -n "$in" ]; do
        c=${in:0:1}
        in=${in:1}
        if [ "$c" = "\\" ] && [ -n "$in" ]; then
            case ${in:0:1} in
            s) c=' ' ;;
            n) c=$'\n' ;;
            t) c=$'\t' ;;
            r) c=$'\r' ;;
            *) c=${in:0:1} ;;
            esac
            in=${in:1}
        fi
        out+=$c
    done
    printf '%s' "$out"
}

# Splits a decoded Exec value into its arguments the way a launcher does, one per line; "%%" becomes "%".
exec_arguments() {
    local in=$1 arg="" quoted=0 have=0 c
    while [ -n "$in" ]; do
        c=${in:0:1}
        in=${in:1}
        if [ $quoted -eq 1 ]; then
            if [ "$c" = '"' ]; then
                quoted=0
            elif [ "$c" = "\\" ] && [ -n "$in" ]; then
                arg+=${in:0:1}
                in=${in:1}
            else
                arg+=$c
            fi
        elif [ "$c" = '"' ]; then
            quoted=1
            have=1
        elif [ "$c" = ' ' ]; then
            [ $have -eq 1 ] && printf '%s\n' "${arg//%%/%}"
            arg=""
            have=0
        else
            arg+=$c
            have=1
        fi
    done
    [ $have -eq 1 ] && printf '%s\n' "${arg//%%/%}"
}

# Width and height of a PNG, from its IHDR chunk.
png_size() {
    local b
    read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
    [ ${#b[@]} -eq 8 ] || return 1
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

data=$prefix/share/lumetra
desktop=$prefix/share/applications/lumetra.desktop

case $mode in
install)
    cmake=$5
    rm -rf "$prefix"
    if ! log=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
        printf '%s\n' "$log" >&2
        fail "cmake --install $build --prefix $prefix failed"
    fi
    ;;

layout)
    for exe in lumetra lumetra-cli; do
        [ -x "$prefix/bin/$exe" ] || fail "bin/$exe is missing or not executable"
        if [ -x "$prefix/bin/$exe" ] && command -v ldd >/dev/null; then
            missing=$(ldd "$prefix/bin/$exe" 2>&1 | grep 'not found')
            [ -z "$missing" ] || fail "bin/$exe needs libraries that are not found: $missing"
        fi
    done

    [ -f "$data/CMYK/Standard.IccSwa" ] || fail "share/lumetra/CMYK/Standard.IccSwa is missing"
    for swatch in "$src"/CMYK/*.IccSwa; do
        [ -e "$swatch" ] || continue
        cmp -s "$swatch" "$data/CMYK/${swatch##*/}" || fail "share/lumetra/CMYK/${swatch##*/} differs from the source"
    done
    cmp -s "$src/help/index.html" "$data/help/index.html" ||
        fail "share/lumetra/help/index.html is missing or differs from the source"
    cmp -s "$src/src/colour/data/SOURCES.md" "$data/colorimetry/SOURCES.md" ||
        fail "share/lumetra/colorimetry/SOURCES.md is missing or differs from the source"

    for page in lumetra lumetra-cli; do
        man=$prefix/share/man/man1/$page.1.gz
        if [ ! -f "$man" ]; then
            fail "share/man/man1/$page.1.gz is missing"
        elif ! gzip -dc "$man" | grep -q "^\.TH \"\?${page^^}\"\? \"\?1\"\? "; then
            fail "share/man/man1/$page.1.gz is not the $page manual page"
        fi
    done
    for doc in copyright changelog.gz; do
        [ -f "$prefix/share/doc/lumetra/$doc" ] || fail "share/doc/lumetra/$doc is missing"
    done
    metainfo=$prefix/share/metainfo/lumetra.metainfo.xml
    if [ ! -f "$metainfo" ]; then
        fail "share/metainfo/lumetra.metainfo.xml is missing"
    elif ! grep -qF '<launchable type="desktop-id">lumetra.desktop</launchable>' "$metainfo"; then
        fail "the AppStream data does not name lumetra.desktop as its launchable"
    fi

    icons=$prefix/share/icons/hicolor
    [ -f "$icons/scalable/apps/lumetra.svg" ] || fail "the scalable icon is missing"
    for size in 16 32 48 64 128 256; do
        png=$icons/${size}x${size}/apps/lumetra.png
        if [ ! -f "$png" ]; then
            fail "the ${size}x${size} icon is missing"
        elif [ "$(png_size "$png")" != "${size}x${size}" ]; then
            fail "the ${size}x${size} icon measures $(png_size "$png")"
        fi
    done

    if [ ! -f "$desktop" ]; then
        fail "share/applications/lumetra.desktop is missing"
    else
        [ "$(entry_value "$desktop" Type)" = Application ] || fail "desktop entry: Type is not Application"
        [ "$(entry_value "$desktop" Terminal)" = false ] || fail "desktop entry: Terminal is not false"
        [ "$(entry_value "$desktop" Icon)" = lumetra ] || fail "desktop entry: Icon is not lumetra"
        case ";$(entry_value "$desktop" Categories)" in
        *";Graphics;"*) ;;
        *) fail "desktop entry: Categories lacks Graphics" ;;
        esac

        mapfile -t args < <(exec_arguments "$(unescape_string "$(entry_value "$desktop" Exec)")")
        if [ ${#args[@]} -ne 1 ] || [ "${args[0]}" != "$prefix/bin/lumetra" ]; then
            fail "desktop entry: Exec runs [${args[*]}], not [$prefix/bin/lumetra]"
        fi
        [ "$(unescape_string "$(entry_value "$desktop" TryExec)")" = "$prefix/bin/lumetra" ] ||
            fail "desktop entry: TryExec is not $prefix/bin/lumetra"
        path=$(unescape_string "$(entry_value "$desktop" Path)")
        [ "$path" = "$data" ] || fail "desktop entry: Path is [$path], not [$data]"

        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$desktop" >&2 || fail "desktop-file-validate rejects the desktop entry"
        else
            echo "note: desktop-file-validate not found, the entry was checked field by field only"
        fi
    fi
    ;;

smoothing)
    build_cli=$5
    for needed in examples/Standard_spectral.txt examples/Standard_lab.txt CMYK/Standard.IccSwa; do
        if [ ! -f "$src/$needed" ]; then
            echo "SKIP: $needed is not in the source tree yet, so there is no sample smoothing file to build"
            exit 77
        fi
    done
    [ -f "$desktop" ] || { fail "share/applications/lumetra.desktop is missing"; exit 1; }
    path=$(unescape_string "$(entry_value "$desktop" Path)")

    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    spectral=$src/examples/Standard_spectral.txt
    lab=$src/examples/Standard_lab.txt

    out=$(cd "$src" && "$build_cli" smooth --spectral "$spectral" --lab "$lab" -o "$work/build-tree.txt" 2>&1)
    rc=$?
    [ $rc -eq 0 ] ||
        fail "the build-tree lumetra-cli, started in $src, did not build the sample smoothing file (exit $rc): $out"
    out=$(cd "$path" && "$prefix/bin/lumetra-cli" smooth --spectral "$spectral" --lab "$lab" -o "$work/installed.txt" 2>&1)
    rc=$?
    [ $rc -eq 0 ] ||
        fail "the installed lumetra-cli, started in $path, did not build the sample smoothing file (exit $rc): $out"
    if [ $failures -eq 0 ]; then
        [ -s "$work/build-tree.txt" ] || fail "the sample smoothing file is empty"
        cmp "$work/build-tree.txt" "$work/installed.txt" >&2 ||
            fail "the installed lumetra-cli wrote a different smoothing file than the build-tree one"
    fi
    ;;

*)
    echo "usage: install-check.sh install|layout|smoothing BUILD_DIR SOURCE_DIR PREFIX [CMAKE|BUILD_CLI]" >&2
    exit 2
    ;;
esac

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "$mode: passed"
