#!/usr/bin/env bash
# Makes (once) the tree a lab guest boots from, and prints the folder that holds it:
#   scripts/lab-kernel.sh amd64|arm64   ->   build-trees/kernel-<arch>-<key>
# Its root/ holds Debian's own kernel package for that architecture (boot/vmlinuz-*, lib/modules/),
# busybox-static and the C++ run-time the project's programs need in the guest, unpacked as the ARM
# trees are (nothing is installed into this machine's /boot) and keyed the same way: a changed
# script, package list or release makes a new tree, an unchanged one is reused.
# VORNIKAL_ARM_TREES names another folder for the trees (default: build-trees in the checkout).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arm-tree.sh

arch=${1:-}
case "$arch" in
    amd64|arm64) ;;
    *) echo "usage: scripts/lab-kernel.sh amd64|arm64" >&2; exit 2 ;;
esac
packages=linux-image-$arch,busybox-static,libstdc++6

trees=${VORNIKAL_ARM_TREES:-$PWD/build-trees}
key=$( (cat scripts/lab-kernel.sh scripts/arm-tree.sh scripts/apt-archive.sh; host_suite; echo "$packages") |
    sha256sum | cut -c1-12)
folder=$trees/kernel-$arch-$key
if [ -d "$folder/root/boot" ]; then
    echo "$folder"
    exit 0
fi

echo "Making the $arch kernel tree in $folder (under half a minute)" >&2
arm_tree_as_root rm -rf --one-file-system "$folder"
unpack_tree "$arch" "$folder.new" "$packages" || { arm_tree_as_root rm -rf "$folder.new"; exit 1; }
mv "$folder.new" "$folder"
echo "$folder"
