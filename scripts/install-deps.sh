#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is already there.
# Usage: install-deps.sh [run|fresh] [--dry-run]
#   (none)     everything scripts/test.sh needs
#   run        only what building and running the Linux tool needs
#   fresh      what scripts/fresh-machine.sh needs on this machine to make a brand-new Debian tree
#   --dry-run  print what would be installed, install nothing
# The names are the same on every Debian release from 12 on: where a package carries a version in
# its name (the clang runtime), the release's default is asked for by its unversioned name.
# The Windows lanes (Wine, the mingw-w64 compilers, the i386 architecture) and the ARM cross builds are
# for amd64 machines only. VORNIKAL_ARCH=arm64 (or armhf, ...) shows the choice for another machine.
set -euo pipefail

role=all dry_run=no
for argument in "$@"; do
    case "$argument" in
        run | fresh) role=$argument ;;
        --dry-run) dry_run=yes ;;
        *) echo "usage: scripts/install-deps.sh [run|fresh] [--dry-run]" >&2; exit 2 ;;
    esac
done

if ! command -v apt-get >/dev/null 2>&1; then
    cat >&2 <<'END'
install-deps.sh: this system has no apt-get, so nothing was installed. Install these yourself:
  - CMake 3.25 or newer, and make or ninja
  - a C++20 compiler (GCC 12+ or clang 15+) and pkg-config
  - the Qt 6 Widgets development files (Qt 6.2 or newer), with Qt's OpenGL headers
  - the mingw-w64 i686 resource compiler (i686-w64-mingw32-windres), the mingw-w64 i686
    headers (winresrc.h) and the i686 mingw-w64 gcc, which windres preprocesses with: the
    Linux program embeds the compiled Windows resources
  - scdoc, which makes the manual pages
  - nlohmann/json 3.10 or newer (header-only), which vornikal-send writes its --json records with
  - the font Noto Serif CJK TC, the face the dialogs are laid out for
Then build with the plain cmake commands (README.md, "Building on other systems").
END
    exit 1
fi
arch=${VORNIKAL_ARCH:-$(dpkg --print-architecture)}

run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    binutils-mingw-w64-i686 mingw-w64-i686-dev gcc-mingw-w64-i686-win32 fonts-noto-cjk
    scdoc
    nlohmann-json3-dev  # header-only; vornikal-send's --json, in the Linux and the Windows builds
)
fresh_packages=(mmdebstrap)
test_packages=(
    "${run_packages[@]}" "${fresh_packages[@]}" libgtest-dev googletest
    python3 xvfb xdotool xclip openbox x11-utils imagemagick
    sway wtype grim qt6-wayland dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
    clang libclang-rt-dev valgrind
    dpkg-dev desktop-file-utils file
    lintian appstream appstream-compose man-db groff-base
    librsvg2-common  # Debian 13's appstreamcli compose reads the SVG icon through gdk-pixbuf's loader
    minicom          # a real peer that marks the line with a lock file only
    libxcb1-dev      # the start-up benchmark waits for the window's map through xcb
    diffoscope-minimal xxd  # shows where two builds of one commit differ (scripts/reproducible.sh)
)
# The Windows program's compilers and Wine, the ARM cross builds with qemu-user, and the lab's
# machines (scripts/test-lab.sh): amd64 only.
amd64_packages=(
    g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine64 fonts-wine locales
    crossbuild-essential-arm64 crossbuild-essential-armhf qemu-user
    qemu-system-x86 qemu-system-arm
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The foreign architectures the tests need on this machine: the 32-bit Wine that runs the
# shipped 32-bit exe is an i386 package, and i386 sits beside amd64 only.
foreign_architectures() {
    case $arch in
        amd64) echo i386 ;;
    esac
}

architectures=
case $role in
    run) packages=("${run_packages[@]}") ;;
    fresh) packages=("${fresh_packages[@]}") ;;
    all)
        packages=("${test_packages[@]}")
        if [ "$arch" = amd64 ]; then
            packages+=("${amd64_packages[@]}")
        fi
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
if [ $dry_run = yes ]; then
    echo "For $arch: ${packages[*]}"
    echo "Would install here: ${missing[*]:-nothing}"
    for architecture in $architectures; do
        dpkg --print-foreign-architectures | grep -qx "$architecture" ||
            echo "Would add the $architecture architecture (for wine32)"
    done
    exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    for architecture in $architectures; do
        if ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
            as_root dpkg --add-architecture "$architecture"
        fi
    done
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows program runs under Wine in a Chinese (Taiwan) locale, its home code page.
if [ "$role" = all ] && [ "$arch" = amd64 ] && ! locale -a 2>/dev/null | grep -qix 'zh_TW.utf8'; then
    as_root localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
fi
