#!/usr/bin/env bash
# Builds what VORNIKAL ships, from this checkout, and says where each file is:
#   deb           build-pkg/vornikal_<version>_<arch>.deb, for this machine's architecture
#   zip           build-pkgwin/packaging/windows/VORNIKAL-<version>-win32.zip (on amd64)
#   arm64, armhf  build-pkg-<arch>/vornikal_<version>_<arch>.deb, cross-built (on amd64)
# Usage: scripts/package.sh [--no-lintian] [deb|zip|arm64|armhf]...   (default: deb zip)
# Every file records the commit's time (SOURCE_DATE_EPOCH) and no build path, so the same commit gives
# the same bytes (scripts/reproducible.sh checks it). Lintian checks each .deb unless --no-lintian.
# Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

lintian=yes
what=()
for argument in "$@"; do
    case "$argument" in
        --no-lintian) lintian=no ;;
        deb | zip | arm64 | armhf) what+=("$argument") ;;
        *) echo "usage: scripts/package.sh [--no-lintian] [deb|zip|arm64|armhf]..." >&2; exit 2 ;;
    esac
done
[ ${#what[@]} -gt 0 ] || what=(deb zip)

scripts/install-deps.sh
built=()
version() { sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$1/CMakeCache.txt"; }

# A release build's install rules packed by CPack into BUILD; then Debian's own check of the package
# (any error or warning stops here).
deb() {  # BUILD DEB_ARCH CMAKE_OPTION...
    local build=$1 arch=$2
    shift 2
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@"
    cmake --build "$build" -j"$(nproc)"
    # CPack makes the staged folders and the .deb's members with the builder's umask: 077 would give
    # other bytes, and folders in the package that no one else may enter.
    (umask 022 && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$PWD/$build")
    local deb=$PWD/$build/vornikal_$(version "$build")_$arch.deb
    [ $lintian = no ] || scripts/lintian-deb.sh "$deb"
    built+=("$deb")
}

for kind in "${what[@]}"; do
    case $kind in
        # Depends from dpkg-shlibdeps.
        deb) deb build-pkg "$(dpkg --print-architecture)" ;;
        # Depends from the target tree's shlibs entries (packaging/linux/cross_depends.cmake).
        arm64 | armhf)
            deb "build-pkg-$kind" "$kind" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/linux-$kind.cmake" \
                -DVORNIKAL_ARM_TREE="$(scripts/arm-sysroot.sh "$kind")" ;;
        # The 32-bit cross build of VORNIKAL.EXE and vornikal-send.exe, zipped with their README.
        zip)
            cmake -S . -B build-pkgwin -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
                  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
            cmake --build build-pkgwin -j"$(nproc)" --target vornikal_zip
            built+=("$PWD/build-pkgwin/packaging/windows/VORNIKAL-$(version build-pkgwin)-win32.zip") ;;
    esac
done

echo
echo "Built:"
printf '%s\n' "${built[@]}"
