#!/usr/bin/env bash
# Builds everything and runs every test. Installs what it needs first.
#   scripts/test.sh          every lane: what CI and README run (the Windows, ARM and lab lanes on amd64
#                            only), the check that two builds of the shipped files give the same bytes,
#                            ending with scripts/run.sh on a brand-new Debian 12 and Debian 13
#   scripts/test.sh --quick  the Linux build and its tests only (no sanitizer, fuzz or Windows lane),
#                            the loop to run after each change
#   scripts/test.sh --dry-run  the lanes this machine would run and the packages it would install
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
    "") quick=no ;;
    --quick) quick=yes ;;
    --dry-run) quick=dry ;;
    *) echo "usage: scripts/test.sh [--quick|--dry-run]" >&2; exit 2 ;;
esac

# The Windows lanes run Wine and the ARM lanes cross-build from x86: both need an amd64 machine. On
# another (a Raspberry Pi, say) this machine's own build is the one tested. VORNIKAL_ARCH fakes it.
arch=${VORNIKAL_ARCH:-$(dpkg --print-architecture)}
if [ $quick = dry ]; then
    echo "This machine: $arch. Lanes: Linux build and tests, sanitizers, fuzzers$(
        [ "$arch" = amd64 ] && echo ", Windows under Wine (test-windows.sh), two builds of the .deb and the zip compared (reproducible.sh)," \
            "arm64 and armhf under qemu (test-arm.sh), real serial drivers in QEMU guests (test-lab.sh)" ||
            echo ", two builds of the .deb compared (reproducible.sh); not the Windows, ARM and lab lanes, which need an amd64 machine")"
    exec scripts/install-deps.sh --dry-run
fi

scripts/install-deps.sh
if [ $quick = no ] && [ "$arch" = amd64 ]; then
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

if [ "$arch" = amd64 ]; then
    # The Windows program, cross-built and tested under Wine; on the 64-bit build where i386 programs cannot run.
    scripts/test-windows.sh
    # The same commit gives the same bytes: the .deb and the zip built twice, in two clones that differ
    # where two builders' machines do.
    scripts/reproducible.sh deb zip
    # The Linux program cross-built for arm64 and armhf, tested under qemu-user, packaged.
    scripts/test-arm.sh
else
    echo "Windows tests: skipped: Wine runs Windows programs on amd64 machines only; this one is $arch"
    echo "ARM cross builds: skipped: they are made on an amd64 machine; this $arch machine's own build was tested above"
    scripts/reproducible.sh deb
fi
# The comm calls and the programs on the kernel's real serial drivers, in QEMU guests (it says why it
# skips on machines other than amd64).
scripts/test-lab.sh

# README's first command on a brand-new Debian 12 and Debian 13, so a package missing from the run
# list shows here. Inside such a tree (scripts/fresh-machine.sh --full runs this command there) it
# would only repeat itself.
if [ -n "${VORNIKAL_FRESH_MACHINE:-}" ]; then
    echo "fresh-machine: not run, this already is a brand-new $VORNIKAL_FRESH_MACHINE tree"
else
    scripts/fresh-machine.sh --suite bookworm
    scripts/fresh-machine.sh --suite trixie
fi
