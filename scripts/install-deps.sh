#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is already there.
# Usage: install-deps.sh [run] [--dry-run]
#   run        only what building and running the Linux tool needs
#   --dry-run  print what would be installed, install nothing
# The Windows lanes (Wine, the mingw-w64 compilers, the i386 architecture) and the ARM cross builds are
# for amd64 machines only. VORNIKAL_ARCH=arm64 (or armhf, ...) shows the choice for another machine.
set -euo pipefail

mode=all dry_run=no
for argument in "$@"; do
    case "$argument" in
        run) mode=run ;;
        --dry-run) dry_run=yes ;;
        *) echo "usage: install-deps.sh [run] [--dry-run]" >&2; exit 2 ;;
    esac
done
arch=${VORNIKAL_ARCH:-$(dpkg --print-architecture)}

run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    binutils-mingw-w64-i686 fonts-noto-cjk
    scdoc
)
packages=(
    "${run_packages[@]}" libgtest-dev googletest
    python3 xvfb xdotool xclip openbox x11-utils imagemagick
    sway wtype grim qt6-wayland dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
    clang libclang-rt-14-dev valgrind
    dpkg-dev desktop-file-utils file
    lintian appstream appstream-compose man-db groff-base
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ "$arch" = amd64 ]; then
    # The Windows program's compilers and Wine (i386 and amd64 only); the ARM cross builds and qemu-user.
    packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 locales fonts-wine
               crossbuild-essential-arm64 crossbuild-essential-armhf qemu-user mmdebstrap)
fi
[ $mode = run ] && packages=("${run_packages[@]}")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ $dry_run = yes ]; then
    echo "For $arch: ${packages[*]}"
    echo "Would install here: ${missing[*]:-nothing}"
    [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386 &&
        echo "Would add the i386 architecture (for wine32)"
    exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows program runs under Wine in a Chinese (Taiwan) locale, its home code page.
if [ $mode != run ] && [ "$arch" = amd64 ] && ! locale -a 2>/dev/null | grep -qix 'zh_TW.utf8'; then
    as_root localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
fi
