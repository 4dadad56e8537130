#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   bash scripts/dev.sh run    install what is missing, build, start the window
#   bash scripts/dev.sh test   install what is missing, build, run the whole test suite
#   bash scripts/dev.sh bench  install what is missing, build the benchmarks (Release), run them
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

packages=(build-essential cmake pkg-config qt6-base-dev libqt6svg6 libgtest-dev libgmock-dev
          libbenchmark-dev python3)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    configure_and_build build
    exec ./build/src/app/lumetra
    ;;
test)
    install_missing "${packages[@]}"
    configure_and_build build -DLUMETRA_WERROR=ON
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
bench)
    install_missing "${packages[@]}"
    configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=ON
    ./build-bench/bench/lumetra_bench "${@:2}"
    ;;
*)
    echo "usage: bash scripts/dev.sh run|test|bench" >&2
    exit 2
    ;;
esac
