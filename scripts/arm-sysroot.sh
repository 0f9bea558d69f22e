#!/usr/bin/env bash
# Makes (once) the tree an ARM cross build compiles against and its tests run in, and prints
# the folder that holds it:
#   scripts/arm-sysroot.sh arm64|armhf   ->   build-trees/<arch>-<key>
# That folder holds root/ (the target's /usr and /etc: the sysroot and qemu's -L tree), emulator (runs
# one of the target's programs under qemu-user in that tree) and shlibs (the shlibs entries of the
# tree's packages, for a package's Depends). The key follows the scripts that make it and the package
# list, so a changed list or another release makes a new tree and an existing one is reused.
# VORNIKAL_ARM_TREES names another folder for the trees (default: build-trees in the checkout).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arm-tree.sh

arch=${1:-}
case "$arch" in
    arm64|armhf) ;;
    *) echo "usage: scripts/arm-sysroot.sh arm64|armhf" >&2; exit 2 ;;
esac

# What the build links (Qt, GL, GoogleTest; the JSON headers) and what the tests need at run time (Qt's platform plugins,
# the dialogs' stand-in face and fontconfig to find it).
# The C++ library is the cross compiler's own (GCC 12 on Debian 12, 14 on Debian 13).
case "$arch" in arm64) cxx=aarch64-linux-gnu-g++ ;; armhf) cxx=arm-linux-gnueabihf-g++ ;; esac
packages=libc6-dev,libstdc++-$("$cxx" -dumpversion)-dev,qt6-base-dev,qt6-qpa-plugins,libgl-dev,libegl-dev,libxkbcommon-dev
packages+=,libvulkan-dev,googletest,libgtest-dev,fontconfig,fonts-noto-cjk,nlohmann-json3-dev

trees=${VORNIKAL_ARM_TREES:-$PWD/build-trees}
key=$( (cat scripts/arm-sysroot.sh scripts/arm-tree.sh scripts/apt-archive.sh; echo "$packages") | sha256sum | cut -c1-12)
folder=$trees/$arch-$key
if [ -x "$folder/emulator" ] && [ -f "$folder/shlibs" ]; then
    echo "$folder"
    exit 0
fi

echo "Making the $arch tree in $folder (about a minute)" >&2
arm_tree_as_root rm -rf --one-file-system "$folder"
arm_tree "$arch" "$folder" "$packages" --skip=cleanup/apt/cache || { rm -rf "$folder"; exit 1; }
# The unpacked tree has no dpkg database for dpkg-shlibdeps to read: the packages' own shlibs entries
# (library, version, the dependency it asks for) are kept instead.
for deb in "$folder"/root/var/cache/apt/archives/*.deb; do
    dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./shlibs 2>/dev/null || true
done | grep -v '^[a-z-]*:' | sort -u >"$folder/shlibs.new"
rm -rf "$folder"/root/var/cache/apt "$folder"/root/var/lib/apt/lists
mv "$folder/shlibs.new" "$folder/shlibs"
echo "$folder"
