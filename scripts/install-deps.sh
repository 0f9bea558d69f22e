#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is already there.
# Usage: install-deps.sh [run]   (run: only what building and running the Linux tool needs)
set -euo pipefail

run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    binutils-mingw-w64-i686 fonts-noto-cjk
    scdoc
)
packages=(
    "${run_packages[@]}" googletest
    g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix
    python3 xvfb xdotool xclip openbox x11-utils imagemagick
    sway wtype grim qt6-wayland dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
    clang libclang-rt-14-dev valgrind
    wine wine32:i386 wine64 locales fonts-wine
    dpkg-dev desktop-file-utils file
    lintian appstream appstream-compose man-db groff-base
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

[ "${1:-}" = run ] && packages=("${run_packages[@]}")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows program runs under Wine in a Chinese (Taiwan) locale, its home code page.
if [ "${1:-}" != run ] && ! locale -a 2>/dev/null | grep -qix 'zh_TW.utf8'; then
    as_root localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
fi
