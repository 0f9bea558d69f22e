# Sourced by scripts/arm-sysroot.sh, scripts/lab-kernel.sh and tests/package/deb_cross_test.sh:
#   unpack_tree ARCH FOLDER PACKAGES [MMDEBSTRAP_OPTION...]
# unpacks a tree of ARCH holding PACKAGES (comma-separated; a path to a .deb is installed with what it
# depends on) and what they depend on into FOLDER/root, owned by the caller, its links pointing inside it.
#   arm_tree ARCH FOLDER PACKAGES [MMDEBSTRAP_OPTION...]
# does so for arm64 or armhf and writes FOLDER/emulator, which runs one of the tree's programs under
# qemu-user. Nothing is installed for a foreign architecture on this machine, and no program of the
# tree runs while it is made but fc-cache.
# The tree is of this machine's own Debian release: Qt's code generators and the cross compilers come
# from this machine and must match the tree's Qt and C++ library.
source "$(dirname "${BASH_SOURCE[0]}")/apt-archive.sh"

arm_tree_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

unpack_tree() {
    local arch=$1 folder=$2 packages=$3
    shift 3
    local root=$folder/root suite sources=()
    suite=$(host_suite)
    mkdir -p "$folder/archive"
    mapfile -t sources < <(archive_sources "$suite" "$folder/archive")
    [ ${#sources[@]} -gt 0 ] || { echo "unpack_tree: no Debian archive in this machine's apt sources" >&2; return 1; }
    arm_tree_as_root mmdebstrap --quiet --variant=extract --arch="$arch" --include="$packages" "$@" \
        "$suite" "$root" "${sources[@]}" || return 1
    rm -rf "$folder/archive"
    arm_tree_as_root chown -R "$(id -u):$(id -g)" "$folder"

    # A tree unpacked by Debian 13's mmdebstrap may lack the merged /usr's top-level links, and the
    # target's programs name their loader by /lib or /lib64 (/lib/ld-linux-aarch64.so.1).
    local top
    for top in bin sbin lib lib64; do
        [ -e "$root/usr/$top" ] || continue
        [ -e "$root/$top" ] || [ -L "$root/$top" ] || ln -s "usr/$top" "$root/$top"
    done
    # Links that name an absolute path point into the build machine once the tree is a sysroot.
    local link target
    find "$root" -type l -lname '/*' -print0 | while IFS= read -r -d '' link; do
        target=$(readlink "$link")
        ln -sfn "$(realpath -m -s --relative-to="$(dirname "$link")" "$root$target")" "$link"
    done
    # qemu's -L looks in the tree first: its device nodes and empty system folders would hide the real
    # ones (/dev/ptmx in the tree is a node without a device behind it).
    rm -rf "${root:?}"/{dev,proc,sys,tmp,run}
}

arm_tree() {
    local arch=$1 folder=$2 packages=$3 qemu triple
    shift 3
    case "$arch" in
        arm64) qemu=qemu-aarch64 triple=aarch64-linux-gnu ;;
        armhf) qemu=qemu-arm triple=arm-linux-gnueabihf ;;
        *) echo "arm_tree: no such architecture: $arch" >&2; return 2 ;;
    esac
    unpack_tree "$arch" "$folder" "$packages" "$@" || return 1
    local root=$folder/root
    # Under emulation fontconfig would write its cache into this machine's /var/cache, under the names
    # the machine's own fontconfig reads: the tree keeps its cache inside itself, made once now.
    if [ -f "$root/etc/fonts/fonts.conf" ]; then
        mkdir -p "$root/var/cache/fontconfig"
        sed -i "s|<cachedir>/var/cache/fontconfig</cachedir>|<cachedir>$root/var/cache/fontconfig</cachedir>|" \
            "$root/etc/fonts/fonts.conf"
    fi

    cat >"$folder/emulator" <<EOS
#!/bin/sh
# Runs a $arch program under qemu-user with the tree beside this file as its root for libraries.
# qemu 7.2 does not apply -L to faccessat, so Qt is told where the tree's plugins are.
QT_PLUGIN_PATH=$root/usr/lib/$triple/qt6/plugins
export QT_PLUGIN_PATH
exec $qemu -L $root "\$@"
EOS
    chmod 755 "$folder/emulator"
    if [ -x "$root/usr/bin/fc-cache" ]; then
        "$folder/emulator" "$root/usr/bin/fc-cache" -s >&2 || return 1
    fi
}
