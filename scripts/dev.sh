#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   bash scripts/dev.sh run    install what is missing, build, start the window
#   bash scripts/dev.sh test   install what is missing, build, run the whole test suite: once as is,
#                              once under AddressSanitizer/UndefinedBehaviorSanitizer, then a short
#                              run of every fuzz target
#   bash scripts/dev.sh bench  install what is missing, build the benchmarks (Release), run them
#                              (bench/compare-lcms.sh times whole processes against LittleCMS)
#   bash scripts/dev.sh fuzz [SECONDS [TARGET...]]   run the fuzz targets longer (default 600 s each)
#   bash scripts/dev.sh windows  install what is missing, build Qt and the rest for Windows once
#                              (cached outside the clone), cross-build Lumetra, run the suite under
#                              Wine, make the zip and the installer in build-windows/ and check them
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

# help2man writes lumetra-cli's manual page; lintian, appstream and desktop-file-utils check the
# package (scripts/package-check.sh).
packages=(build-essential cmake pkg-config qt6-base-dev libqt6svg6 libgtest-dev libgmock-dev
          libbenchmark-dev python3 liblcms2-dev poppler-utils
          help2man lintian appstream desktop-file-utils)
# For the fuzz targets (libFuzzer comes with clang's runtime libraries).
fuzz_packages=(clang-14 libclang-rt-14-dev)
# For bench/compare-lcms.sh: the LittleCMS loader it builds, its timer and memory gauge.
bench_packages=(liblcms2-dev hyperfine time)
# For the Windows build (scripts/windows/build.sh): MinGW-w64, Wine, Debian's Qt for the host tools,
# the source packages' tools, NSIS for the installer.
windows_packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgtest-dev googletest
                  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 ninja-build dpkg-dev
                  patch xvfb xauth nsis zip unzip)

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
    install_missing "${packages[@]}" "${fuzz_packages[@]}"
    configure_and_build build -DLUMETRA_WERROR=ON
    ctest --test-dir build --output-on-failure -j "$jobs"

    # The Debian package, made from build/ and checked.
    bash scripts/package-check.sh build

    # The same suite with AddressSanitizer and UndefinedBehaviorSanitizer: the first report fails
    # the test that made it.
    configure_and_build build-asan -DLUMETRA_WERROR=ON -DLUMETRA_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
        UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

    # Every fuzz target for 30 seconds, from seeds made of the fixtures and samples.
    CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMETRA_FUZZ=ON -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_WERROR=ON
    cmake --build build-fuzz -j "$jobs" --target lumetra_fuzzers
    FUZZ_JOBS=$jobs bash fuzz/run.sh build-fuzz 30
    ;;
fuzz)
    # What the targets learn stays in build-fuzz/fuzz-corpus for the next run.
    install_missing "${packages[@]}" "${fuzz_packages[@]}"
    CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMETRA_FUZZ=ON -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_WERROR=ON
    cmake --build build-fuzz -j "$jobs" --target lumetra_fuzzers
    FUZZ_JOBS=${FUZZ_JOBS:-$jobs} bash fuzz/run.sh build-fuzz "${2:-600}" "${@:3}"
    ;;
bench)
    install_missing "${packages[@]}" "${bench_packages[@]}"
    configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=ON
    ./build-bench/bench/lumetra_bench "${@:2}"
    # The same roads through the window, offscreen, beside the core figures.
    QT_QPA_PLATFORM=offscreen ./build-bench/bench/lumetra_window_bench --benchmark_filter='Window|ImportHandler|Build/' "${@:2}"
    ;;
windows)
    install_missing "${windows_packages[@]}"
    exec bash scripts/windows/build.sh
    ;;
*)
    echo "usage: bash scripts/dev.sh run|test|bench|fuzz|windows [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac
