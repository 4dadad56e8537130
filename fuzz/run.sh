#!/usr/bin/env bash
# Runs the fuzz targets of a LUMETRA_FUZZ build.
#   bash fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# Each target runs SECONDS (all targets when none are named), at most FUZZ_JOBS at a time
# (default 2), each on one core. Seeds are made afresh from the test fixtures and samples into
# BUILD_DIR/fuzz-seeds; what a target learns is kept in BUILD_DIR/fuzz-corpus/<target> for the next
# run. An input that breaks a rule is saved as BUILD_DIR/fuzz-artifacts/<target>/crash-* and the
# script fails: copy it to tests/data/fuzz/<target>/ (the replay test runs it) once it is fixed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}" && pwd)
seconds=${2:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(lines tokenize scan import swatch smoothing spec road)
jobs=${FUZZ_JOBS:-2}

python3 "$here/fuzz/make_seeds.py" "$build/fuzz-seeds"

max_len() {
    case $1 in
    tokenize) echo 4096 ;;
    road | spec | smoothing) echo 32768 ;;
    *) echo 16384 ;;
    esac
}

run_one() {
    local t=$1
    local corpus="$build/fuzz-corpus/$t" artifacts="$build/fuzz-artifacts/$t/" log="$build/fuzz-logs/$t.log"
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -max_len="$(max_len "$t")" -dict="$here/fuzz/cgats.dict" -artifact_prefix="$artifacts" \
        -print_final_stats=1 "$corpus" "$build/fuzz-seeds/$t" >"$log" 2>&1; then
        echo "fuzz_$t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds}s, nothing found"
    else
        echo "fuzz_$t: FAILED, see $log"
        grep -E 'lumetra fuzz check failed|ERROR: |SUMMARY|Test unit written' "$log" | head -5 | sed 's/^/    /'
        return 1
    fi
}

failed=0
running=0
for t in "${targets[@]}"; do
    [ -x "$build/fuzz/fuzz_$t" ] || { echo "no fuzz target fuzz_$t in $build" >&2; exit 2; }
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run_one "$t" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit $failed
