#!/usr/bin/env bash
# Builds what VORNIKAL ships: the Debian package (build-pkg/vornikal_<version>_<arch>.deb) and the
# Windows zip (build-pkgwin/packaging/windows/VORNIKAL-<version>-win32.zip). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Linux: the release build, its install rules packed by CPack (Depends from dpkg-shlibdeps).
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-pkg -j"$(nproc)"
cpack -G DEB --config build-pkg/CPackConfig.cmake -B "$PWD/build-pkg"
# Debian's own check of the package: any error or warning stops here.
scripts/lintian-deb.sh build-pkg/vornikal_*.deb

# Windows: the 32-bit cross build of VORNIKAL.EXE, zipped with its README.
cmake -S . -B build-pkgwin -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_TESTING=OFF
cmake --build build-pkgwin -j"$(nproc)" --target vornikal_zip

echo
echo "Built:"
ls -1 "$PWD"/build-pkg/vornikal_*.deb "$PWD"/build-pkgwin/packaging/windows/VORNIKAL-*-win32.zip
