#!/usr/bin/env bash
# The lab: the comm calls, CCommPort, vornikal-port and vornikal-send against the kernel's real serial
# drivers, in QEMU guests (TCG) booted from Debian's own kernels: the 8250 UART, QEMU's FTDI adapter
# and a CDC-ACM gadget on amd64, the PL011 and the FTDI adapter on arm64 (tests/lab). scripts/test.sh
# runs it on amd64 machines, after the ARM lanes.
#   scripts/test-lab.sh [amd64|arm64]...   (default: both)
# Builds the three programs a guest runs (in build/ and build-arm64/), then boots each guest and
# prints its table of checks, its boot time and the time it took in all.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${VORNIKAL_ARCH:-$(dpkg --print-architecture)}
if [ "$arch" != amd64 ]; then
    echo "Lab: skipped: its guests run the amd64 build and the arm64 cross build, made on amd64 machines only; this one is $arch"
    exit 0
fi
guests=("$@")
[ ${#guests[@]} -gt 0 ] || guests=(amd64 arm64)
scripts/install-deps.sh

failed=no
for guest in "${guests[@]}"; do
    start=$SECONDS
    case "$guest" in
        amd64)
            build=build
            cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null ;;
        arm64)
            build=build-arm64
            cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/linux-arm64.cmake" \
                -DVORNIKAL_ARM_TREE="$(scripts/arm-sysroot.sh arm64)" -DCMAKE_BUILD_TYPE=Release >/dev/null ;;
        *) echo "usage: scripts/test-lab.sh [amd64|arm64]..." >&2; exit 2 ;;
    esac
    cmake --build "$build" -j"$(nproc)" --target vornikal-lab-guest vornikal-port vornikal-send >/dev/null
    kernel=$(scripts/lab-kernel.sh "$guest")
    python3 tests/lab/lab_run.py "$guest" "$kernel/root" "$build" "$build/lab" || failed=yes
    echo "lab $guest: $((SECONDS - start)) s in all"
done
[ $failed = no ]
