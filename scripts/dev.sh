#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tarnwick, builds it, and runs the program
# (`run`), every test (`test`), every test under the address and
# undefined-behaviour sanitizers (`asan`), or the fuzz targets for a number of
# seconds in all (`fuzz [seconds]`, 480 by default).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libxkbcommon-dev
          libgl1-mesa-dev fonts-wqy-microhei libzip-dev zlib1g-dev libpugixml-dev libxlsxwriter-dev
          gnumeric attr qt6-translations-l10n python3-vobject librsvg2-bin desktop-file-utils appstream
          dpkg-dev file man-db clang libclang-rt-14-dev qt6-gtk-platformtheme xvfb xauth)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

case "${1:-run}" in
run)
    cmake --preset release
    cmake --build --preset release
    exec ./build/release/bin/tarnwick
    ;;
test)
    cmake --preset dev
    cmake --build --preset dev
    ctest --preset dev
    ;;
asan)
    cmake --preset asan
    cmake --build --preset asan
    # A report from a child process can hide behind an exit status its test
    # does not look at, so the test preset sends address and leak reports to
    # files instead of the test's output: any such file fails the run.
    rm -f build/asan/sanitizer-report.*
    status=0
    ctest --preset asan || status=$?
    if compgen -G "build/asan/sanitizer-report.*" > /dev/null; then
        for report in build/asan/sanitizer-report.*; do
            echo "== $report"
            cat "$report"
        done >&2
        echo "FAIL: sanitizer reports above" >&2
        status=1
    fi
    exit $status
    ;;
fuzz)
    cmake --preset fuzz
    cmake --build --preset fuzz
    ./fuzz/run.sh "${2:-480}"
    ;;
*)
    echo "usage: $0 run|test|asan|fuzz [seconds]" >&2
    exit 2
    ;;
esac
