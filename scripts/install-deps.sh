#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is already there.
# Usage: install-deps.sh [run|fresh]
#   (none)  everything scripts/test.sh needs
#   run     only what building and running the Linux tool needs
#   fresh   what scripts/fresh-machine.sh needs on this machine to make a brand-new Debian tree
# The names are the same on every Debian release from 12 on: where a package carries a version in
# its name (the clang runtime), the release's default is asked for by its unversioned name.
set -euo pipefail

role=${1:-all}
case $role in
    all | run | fresh) ;;
    *) echo "usage: scripts/install-deps.sh [run|fresh]" >&2; exit 2 ;;
esac

if ! command -v apt-get >/dev/null 2>&1; then
    cat >&2 <<'EOF'
install-deps.sh: this system has no apt-get, so nothing was installed. Install these yourself:
  - CMake 3.25 or newer, and make or ninja
  - a C++20 compiler (GCC 12+ or clang 15+) and pkg-config
  - the Qt 6 Widgets development files (Qt 6.2 or newer), with Qt's OpenGL headers
  - the mingw-w64 i686 resource compiler (i686-w64-mingw32-windres), the mingw-w64 i686
    headers (winresrc.h) and the i686 mingw-w64 gcc, which windres preprocesses with: the
    Linux program embeds the compiled Windows resources
  - scdoc, which makes the manual pages
  - the font Noto Serif CJK TC, the face the dialogs are laid out for
Then build with the plain cmake commands (README.md, "Building on other systems").
EOF
    exit 1
fi

run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    binutils-mingw-w64-i686 mingw-w64-i686-dev gcc-mingw-w64-i686-win32 fonts-noto-cjk
    scdoc
)
fresh_packages=(mmdebstrap)
test_packages=(
    "${run_packages[@]}" "${fresh_packages[@]}" googletest
    g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix
    python3 xvfb xdotool xclip openbox x11-utils imagemagick
    sway wtype grim qt6-wayland dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
    clang libclang-rt-dev valgrind
    wine wine64 fonts-wine locales
    dpkg-dev desktop-file-utils file
    lintian appstream man-db groff-base
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The foreign architectures the tests need on this machine: the 32-bit Wine that runs the
# shipped 32-bit exe is an i386 package, and i386 sits beside amd64 only.
foreign_architectures() {
    case $(dpkg --print-architecture) in
        amd64) echo i386 ;;
    esac
}

case $role in
    run) packages=("${run_packages[@]}") ;;
    fresh) packages=("${fresh_packages[@]}") ;;
    all)
        packages=("${test_packages[@]}")
        architectures=$(foreign_architectures)
        for architecture in $architectures; do
            packages+=("wine32:$architecture")
        done
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    for architecture in ${architectures:-}; do
        if ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
            as_root dpkg --add-architecture "$architecture"
        fi
    done
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows program runs under Wine in a Chinese (Taiwan) locale, its home code page.
if [ "$role" = all ] && ! locale -a 2>/dev/null | grep -qix 'zh_TW.utf8'; then
    as_root localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
fi
