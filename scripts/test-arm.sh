#!/usr/bin/env bash
# The Linux program cross-built for 64-bit and 32-bit ARM (build-arm64, build-armhf) against a tree of
# each, of this machine's Debian release (scripts/arm-sysroot.sh), its tests run under qemu-user, and its .deb made, checked and
# run in a tree of the target (the package_deb_cross test). scripts/test.sh runs this on amd64 machines.
#   scripts/test-arm.sh [arm64|armhf]...   (default: both)
# Ends with the time each step took.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(arm64 armhf)

times=()
failed=no
report() {
    echo "ARM lanes, time per step:"
    printf '  %s\n' "${times[@]}"
}
trap report EXIT
# Runs one step and notes its time and result; a failed step does not stop the other architecture.
step() {  # NAME COMMAND...
    local start=$SECONDS result=ok
    "${@:2}" || { result=FAILED; failed=yes; }
    times+=("$(printf '%-28s %4d s  %s' "$1" $((SECONDS - start)) $result)")
    [ $result = ok ]
}

for arch in "${arches[@]}"; do
    case "$arch" in arm64|armhf) ;; *) echo "usage: scripts/test-arm.sh [arm64|armhf]..." >&2; exit 2 ;; esac
    step "$arch tree" scripts/arm-sysroot.sh "$arch" >/dev/null || continue
    tree=$(scripts/arm-sysroot.sh "$arch")
    step "$arch configure and build" bash -c "
        cmake -S . -B build-$arch -DCMAKE_TOOLCHAIN_FILE=$PWD/cmake/linux-$arch.cmake -DVORNIKAL_ARM_TREE=$tree \
              -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build build-$arch -j$(nproc)" || continue
    step "$arch tests under qemu" ctest --test-dir "build-$arch" --output-on-failure --timeout 300 -j"$(nproc)" -LE package || true
    step "$arch package" ctest --test-dir "build-$arch" --output-on-failure -L package || true
done
[ $failed = no ]
