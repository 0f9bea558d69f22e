#!/usr/bin/env bash
# The .deb of an ARM cross build as a board's user gets it: made by CPack in this build tree, marked
# and named for its architecture, accepted by lintian without an error or a warning, its Depends naming
# the Qt 6 libraries. Then apt puts it, with everything it depends on, into a tree of that architecture
# and this machine's Debian release (unpacked: no maintainer script can run for a foreign architecture
# here), and its programs run from that tree under qemu-user: vornikal-port, vornikal-loopback, and
# vornikal under Xvfb for one Send over the plug. Only the packages apt would bring besides by default
# (Recommends) are named: Qt's X platform plugin, the keyboard data, the stand-in face.
# Making the tree needs root (mmdebstrap): without it the test stops with 77 (skipped) after lintian.
# Usage: deb_cross_test.sh BUILD_DIR DEB_ARCH
set -euo pipefail

build=$(cd "$1" && pwd)
arch=$2
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../support/x_session.sh"
source "$here/../support/deb_depends.sh"
source "$here/../../scripts/arm-tree.sh"
skip() { echo "SKIP: $*"; exit 77; }
begin_session

# --- The package ---------------------------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
# Left in the build tree, where README's cross-building steps put it: the package checked is the one to copy.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the .deb"; }
deb=$build/vornikal_${version}_$arch.deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "the package says $(dpkg-deb -f "$deb" Architecture)"

"$(dirname "$0")/../../scripts/lintian-deb.sh" "$deb" || fail "lintian does not accept $(basename "$deb")"

check_depends "$deb"

# --- In a tree of the target -----------------------------------------------------------------------
[ "$(id -u)" -eq 0 ] || skip "making a Debian tree of $arch needs root (mmdebstrap)"
tree=$work/target
# A path to a .deb must be an --include of its own, and apt reads it at the same path inside the tree:
# a copy is put there (a bind mount would outlive a failed run).
copy_in="mkdir -p \"\$1$(dirname "$deb")\" && cp \"$deb\" \"\$1$deb\""
arm_tree "$arch" "$tree" qt6-qpa-plugins,xkb-data,fonts-noto-cjk --include="$deb" --setup-hook="$copy_in" \
    >"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log" >&2; fail "apt could not put $(basename "$deb") with its Depends into a $arch tree"; }
run=("$tree/emulator")
bin=$tree/root/usr/bin
for program in vornikal vornikal-loopback vornikal-port; do
    [ -x "$bin/$program" ] || fail "/usr/bin/$program is not in the tree"
done
[ "$("${run[@]}" "$bin/vornikal-port" --version)" = "vornikal-port $version" ] ||
    fail "vornikal-port --version: $("${run[@]}" "$bin/vornikal-port" --version 2>&1)"

start_xvfb
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"${run[@]}" "$bin/vornikal-loopback" --once-ready-file "$work/ready" >"$work/loopback.log" 2>&1 &
pids+=($!)
wait_for 30 test -s "$work/ready" || { cat "$work/loopback.log" >&2; fail "the loopback plug did not come up"; }
device=$(head -n1 "$work/ready")
# The port command maps another name to the plug's device, in a folder of the test's own.
"${run[@]}" "$bin/vornikal-port" --map-dir "$work/map" com2 "$device" >"$work/port.log" 2>&1 ||
    { cat "$work/port.log" >&2; fail "vornikal-port could not map com2 to $device"; }
[ "$(readlink "$work/map/com2")" = "$device" ] || fail "vornikal-port mapped com2 to $(readlink "$work/map/com2")"

"${run[@]}" "$bin/vornikal" >"$work/vornikal.log" 2>&1 &
tool=$!
pids+=($tool)
window=$(find_window '^KESTRAVO v1.0 by OLVANE$' 60) ||
    { cat "$work/vornikal.log" "$work/xvfb.log" >&2; xdpyinfo >/dev/null 2>&1 && echo "Xvfb on $DISPLAY still answers" >&2
      fail "the $arch vornikal showed no dialog"; }
timeout 10 xdotool windowfocus --sync "$window" || fail "the dialog did not take the keyboard focus"
fill_and_send 1 2 7e 81             # 19200 baud, count 2, bytes 7E 81
result=$(copy_result 4)
[ "$result" = $'01111110\n10000001' ] || fail "the result box shows '$result', not 7E 81 in binary"
keys Escape
wait_for 20 bash -c "! kill -0 $tool" || fail "Escape did not end vornikal"
wait "$tool" || fail "vornikal exited with status $?"
unset 'pids[-1]'
echo "PASS: the $arch package installs with its Depends, and its vornikal sent 7E 81 over its own loopback plug"
