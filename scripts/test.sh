#!/usr/bin/env bash
# Builds everything and runs every test. Installs what it needs first.
#   scripts/test.sh          every lane: what CI and README run, ending with scripts/run.sh on a
#                            brand-new Debian 12 and Debian 13 (scripts/fresh-machine.sh)
#   scripts/test.sh --quick  the Linux build and its tests only (no sanitizer, fuzz or Windows lane),
#                            the loop to run after each change
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
    "") quick=no ;;
    --quick) quick=yes ;;
    *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
if [ $quick = no ]; then
    # Said first, so a reader knows at once which Windows program this machine can test.
    VORNIKAL_WINE_LANE=$(scripts/wine-lane.sh)
    export VORNIKAL_WINE_LANE
    echo "Windows tests: ${VORNIKAL_WINE_LANE#* }"
fi

# BUILD_TESTING on: the tree may have been configured without tests by scripts/run.sh.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure --timeout 300 -j"$(nproc)"
[ $quick = yes ] && exit 0

scripts/sanitize.sh; scripts/fuzz.sh 20  # the Linux tests again under ASan and UBSan, then 20 s of each fuzzer

# The Windows program, cross-built and tested under Wine; on the 64-bit build where i386 programs cannot run.
scripts/test-windows.sh

# README's first command on a brand-new Debian 12 and Debian 13, so a package missing from the run
# list shows here. Inside such a tree (scripts/fresh-machine.sh --full runs this command there) it
# would only repeat itself.
if [ -n "${VORNIKAL_FRESH_MACHINE:-}" ]; then
    echo "fresh-machine: not run, this already is a brand-new $VORNIKAL_FRESH_MACHINE tree"
else
    scripts/fresh-machine.sh --suite bookworm
    scripts/fresh-machine.sh --suite trixie
fi
