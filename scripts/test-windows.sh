#!/usr/bin/env bash
# The Windows program, cross-built and tested under Wine (tests/wine); scripts/test.sh runs this.
# The 32-bit VORNIKAL.EXE and its zip are built in build-win on every machine, and the checks that
# read them from Linux run there. The Wine tests run the 32-bit exe where this machine's kernel runs
# i386 programs; where it does not, or with VORNIKAL_WINE64=1, they run on the x86_64 build of the
# same sources (build-win64) under wine64, and build-win reports its Wine tests as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

# scripts/test.sh has asked already and said the answer.
if [ -n "${VORNIKAL_WINE_LANE:-}" ]; then
    lane=$VORNIKAL_WINE_LANE
else
    lane=$(scripts/wine-lane.sh)
    echo "Windows tests: ${lane#* }"
fi

cross_test() {  # BUILD TOOLCHAIN
    cmake -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$2.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$1" -j"$(nproc)"
    ctest --test-dir "$1" --output-on-failure --timeout 300 -j"$(nproc)"
}

cross_test build-win mingw-i686
if [ "${lane%% *}" = win64 ]; then
    cross_test build-win64 mingw-x86_64
    echo "Windows tests: the Wine tests ran build-win64/shell/VORNIKAL.EXE (x86_64, wine64); the 32-bit" \
         "build-win/shell/VORNIKAL.EXE was built and checked from Linux, not run"
else
    echo "Windows tests: the Wine tests ran build-win/shell/VORNIKAL.EXE (32-bit, the shipped program)"
fi
