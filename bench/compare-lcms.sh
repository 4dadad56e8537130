#!/usr/bin/env bash
# Whole-process reading speed against LittleCMS: `lumetra-cli scan` of a generated spectral file
# against a small loader that calls cmsIT8LoadFromFile and frees the result, on the same file.
#
#   bash bench/compare-lcms.sh [BUILD_DIR [ROWS...]]
#
# BUILD_DIR (default build-bench, configured Release if missing) must hold, or gets built,
# src/app/lumetra-cli. ROWS default to 28000 and 280000. For each file it prints the best of 7 runs
# of both programs (after 2 warm-up runs, so both read from the page cache), their ratio, and the
# peak resident memory of each as a multiple of the file's size (the largest of 7 runs).
# Needs liblcms2-dev, python3 and /usr/bin/time; hyperfine when installed (else a plain loop).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build-bench}
shift || true
rows=("$@")
[ ${#rows[@]} -eq 0 ] && rows=(28000 280000)
runs=7
cd "$here"

cli=$build/src/app/lumetra-cli
if [ ! -d "$build" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=ON
fi
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target lumetra-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -Wall -Wextra -o "$work/lcms-load" bench/lcms-load.c -llcms2

# Best of $runs wall-clock seconds of a command, after two warm-up runs.
best_time() {
    if command -v hyperfine >/dev/null; then
        hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/t.json" "$*" >/dev/null 2>&1 ||
            hyperfine --warmup 2 --runs "$runs" --export-json "$work/t.json" "$*" >/dev/null
        python3 -c 'import json,sys; print(min(json.load(open(sys.argv[1]))["results"][0]["times"]))' "$work/t.json"
    else
        "$@" >/dev/null
        "$@" >/dev/null
        for _ in $(seq "$runs"); do
            /usr/bin/time -f %e -o "$work/t.txt" "$@" >/dev/null
            cat "$work/t.txt"
        done | sort -g | head -1
    fi
}

# Largest peak resident set (KiB) of $runs runs.
peak_kib() {
    for _ in $(seq "$runs"); do
        /usr/bin/time -f %M -o "$work/m.txt" "$@" >/dev/null
        cat "$work/m.txt"
    done | sort -n | tail -1
}

printf '%-8s %10s %10s %8s %14s %14s\n' rows "lumetra s" "lcms s" "speed×" "lumetra RSS/f" "lcms RSS/f"
for n in "${rows[@]}"; do
    file=$work/spectral-$n.txt
    python3 bench/make-spectral.py "$n" "$file"
    "$cli" scan "$file" --kind spectral >/dev/null # it must accept the file, or the times mean nothing
    size=$(stat -c %s "$file")
    t_lumetra=$(best_time "$cli" scan "$file" --kind spectral)
    m_lumetra=$(peak_kib "$cli" scan "$file" --kind spectral)
    # LittleCMS 2.14 refuses a table of more than 32766 patches: then only Lumetra is measured.
    t_lcms=- m_lcms=-
    if "$work/lcms-load" "$file" >/dev/null 2>&1; then
        t_lcms=$(best_time "$work/lcms-load" "$file")
        m_lcms=$(peak_kib "$work/lcms-load" "$file")
    fi
    python3 - "$n" "$size" "$t_lumetra" "$t_lcms" "$m_lumetra" "$m_lcms" <<'EOF'
import sys
n, size, tl, tc, ml, mc = sys.argv[1:]
size, tl = int(size), float(tl)
ratio = f"{float(tc) / tl:8.2f}" if tc != "-" else f"{'-':>8}"
tc = f"{float(tc):10.4f}" if tc != "-" else f"{'-':>10}"
mc = f"{int(mc) * 1024 / size:14.2f}" if mc != "-" else f"{'refused':>14}"
print(f"{n:<8} {tl:10.4f} {tc} {ratio} {int(ml) * 1024 / size:14.2f} {mc}")
EOF
    rm -f "$file"
done
