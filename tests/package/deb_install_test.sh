#!/usr/bin/env bash
# The .deb as a user gets it: made by CPack from this build tree and accepted by lintian without an
# error or a warning, then installed with apt-get, its files in place, the installed vornikal driven
# through one Send against the installed loopback plug in an X server of its own, then removed again,
# leaving the machine's packages as they were.
# Installing needs root (apt-get): without it, and when vornikal is already installed (the test would
# remove that copy), the test stops with 77 (skipped) after lintian.
# Usage: deb_install_test.sh BUILD_DIR ICON_DIR METAINFO_NAME PROGRAM...
#   ICON_DIR: the theme's icon files, NxN.png and vornikal.svg
set -euo pipefail

build=$(cd "$1" && pwd)
icons=$2
metainfo=$3
shift 3
programs=("$@")

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/deb_depends.sh"
skip() { echo "SKIP: $*"; exit 77; }

export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"; }
package_list() { dpkg-query -W -f='${Package}:${Architecture} ${Version} ${db:Status-Abbrev}\n' | sort; }
installed() { [ "$(dpkg-query -W -f='${db:Status-Status}' vornikal 2>/dev/null)" = installed ]; }

ours_installed=no
undo_more() {
    if [ $ours_installed = yes ]; then
        apt_get purge vornikal >"$work/purge.log" 2>&1 || cat "$work/purge.log" >&2
    fi
}
begin_session

# --- The package ---------------------------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the .deb"; }
deb=$work/deb/vornikal_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/deb")"

"$(dirname "$0")/../../scripts/lintian-deb.sh" "$deb" || fail "lintian does not accept $(basename "$deb")"

# The metainfo together with the desktop entry it launches, as the package lays them out.
dpkg-deb -x "$deb" "$work/tree"
report=$(appstreamcli validate-tree --no-net "$work/tree" 2>&1) || true
id=$(basename "$metainfo" .metainfo.xml)
findings=$(grep -E '^ *[EWI]: ' <<<"$report" |
    grep -vE "^ *[WI]: $id:[0-9~]+: (cid-desktopapp-is-not-rdns|url-homepage-missing|developer-info-missing|developer-name-tag-deprecated)( |$)" ||
    true)
[ -z "$findings" ] || fail "appstreamcli validate-tree reports:"$'\n'"$report"

# A software centre's catalog, made from the tree as the distribution's generator makes it: the
# component stays, with its icon cached at 64 and 128 px (without an icon of 64 px or more it is
# dropped).
appstreamcli compose --no-net --print-report=full --origin=vornikal --result-root="$work/catalog" "$work/tree" \
    >"$work/compose.log" 2>&1 || { cat "$work/compose.log" >&2; fail "appstreamcli compose dropped data"; }
# Debian 13's compose also relays the validator's wish for a homepage, which the project lacks.
hints=$(sed 's/\x1b\[[0-9;]*m//g' "$work/compose.log" | grep -E '^ *[EW]: ' |
    grep -vxE " *W: asv-(cid-desktopapp-is-not-rdns|url-homepage-missing)" || true)
[ -z "$hints" ] || fail "appstreamcli compose reports:"$'\n'"$(cat "$work/compose.log")"
catalog=$(zcat "$work/catalog/usr/share/swcatalog/xml/vornikal.xml.gz")
grep -q "<id>$id</id>" <<<"$catalog" || fail "the catalog lost the component:"$'\n'"$catalog"
for size in 64 128; do
    grep -qF "<icon type=\"cached\" width=\"$size\" height=\"$size\">vornikal.png</icon>" <<<"$catalog" ||
        fail "the catalog has no $size px icon:"$'\n'"$catalog"
done
echo "appstreamcli compose: the component stays, with its 64 and 128 px icons"

check_depends "$deb"

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
# One run at a time on this machine: another build tree's run would remove the package under us.
exec 9>/run/lock/vornikal-package-test.lock
flock -w 540 9 || fail "another run of this test held the lock for 9 minutes"
installed && skip "vornikal is installed here and the test would remove it (apt-get remove vornikal first)"

# What the build already needed is all the package needs: apt-get would install nothing else.
would_install=$(apt-get install -s --no-install-recommends "$deb" | sed -n 's/^Inst \([^ ]*\).*/\1/p')
[ "$would_install" = vornikal ] || fail "installing would also bring: $(echo $would_install)"

# --- Installed -----------------------------------------------------------------------------------
before=$(package_list)
ours_installed=yes
# Recommends stay out: the test must leave the machine's packages as it found them.
apt_get install --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "apt-get could not install the .deb"; }

expected_files=$(
    for program in "${programs[@]}"; do echo "/usr/bin/$program"; echo "/usr/share/man/man1/$program.1.gz"; done
    echo "/usr/share/applications/vornikal.desktop
/usr/share/doc/vornikal/changelog.gz
/usr/share/doc/vornikal/copyright
/usr/share/icons/hicolor/scalable/apps/vornikal.svg
/usr/share/metainfo/$metainfo"
    for png in "$icons"/*x*.png; do echo "/usr/share/icons/hicolor/$(basename "$png" .png)/apps/vornikal.png"; done
)
expected_files=$(sort <<<"$expected_files")
files=$(dpkg -L vornikal | while read -r path; do [ -d "$path" ] || echo "$path"; done | sort)
[ "$files" = "$expected_files" ] || fail "the package holds:"$'\n'"$files"
for program in "${programs[@]}"; do
    [ -x "/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
    [ "$(man -w "$program")" = "/usr/share/man/man1/$program.1.gz" ] || fail "man does not find $program(1)"
done
desktop-file-validate /usr/share/applications/vornikal.desktop || fail "the desktop entry is not valid"
for png in "$icons"/*x*.png; do
    size=$(basename "$png" .png)
    cmp "/usr/share/icons/hicolor/$size/apps/vornikal.png" "$png" || fail "the $size icon is not the program's"
done
cmp /usr/share/icons/hicolor/scalable/apps/vornikal.svg "$icons/vornikal.svg" || fail "the scalable icon is not the program's"

# The port command runs from the PATH (only --version: a listing here would look at real ports).
[ "$(vornikal-port --version)" = "vornikal-port $version" ] || fail "vornikal-port --version: $(vornikal-port --version)"

# --- One Send with the installed programs --------------------------------------------------------
start_xvfb
start_loopback /usr/bin/vornikal-loopback

# The command-line Send, from the PATH, over the installed plug.
answer=$(vornikal-send --baud 19200 7E 81) || fail "vornikal-send over the plug ended with status $?"
[ "$answer" = $'01111110\n10000001' ] || fail "vornikal-send over the plug printed: $answer"

# Started as the menu starts it: the desktop entry's command, found on the PATH.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/vornikal.desktop)
[ "$(command -v "$command")" = /usr/bin/vornikal ] || fail "the menu's command '$command' is not /usr/bin/vornikal"
"$command" >"$work/vornikal.log" 2>&1 &
tool=$!
pids+=($tool)
window=$(find_window '^KESTRAVO v1.0 by OLVANE$' 20) ||
    { cat "$work/vornikal.log" >&2; fail "the installed vornikal showed no dialog"; }
# No window manager here: the dialog gets the keyboard focus straight from the X server.
timeout 10 xdotool windowfocus --sync "$window" || fail "the dialog did not take the keyboard focus"

fill_and_send 1 2 7e 81             # 19200 baud, count 2, bytes 7E 81
# Back to the result box and copy it whole; X delivers these keys after the Send has ended.
result=$(copy_result 4)
[ "$result" = $'01111110\n10000001' ] || fail "the result box shows '$result', not 7E 81 in binary"
echo "7E 81 crossed the installed loopback plug and came back"

# Escape closes the dialog and ends the program.
keys Escape
wait_for 10 bash -c "! kill -0 $tool" || fail "Escape did not end vornikal"
wait "$tool" || fail "vornikal exited with status $?"
unset 'pids[-1]'

# --- Removed -------------------------------------------------------------------------------------
apt_get purge vornikal >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; fail "apt-get could not remove vornikal"; }
ours_installed=no
installed && fail "vornikal is still installed"
while read -r path; do
    [ ! -e "$path" ] || fail "$path outlived the package"
done <<<"$expected_files"
after=$(package_list)
[ "$before" = "$after" ] || fail "the machine's packages changed: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]')"
echo "PASS: the .deb installs, runs a Send started as the menu starts it, and goes away again"
