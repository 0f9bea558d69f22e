#!/usr/bin/env bash
# The real vornikal binary on Qt's wayland platform under a headless sway, against the loopback
# plug. Fields are filled, buttons pressed and texts read through the accessibility tree; the keys
# and the right click that open the system menu are real input events from the compositor's seat.
# Saves a screenshot of the dialog with its system menu open.
# Usage: wayland_e2e.sh VORNIKAL LOOPBACK DESKTOP_ENTRY OUTPUT_DIR   (exit status 77: no compositor)
set -euo pipefail

vornikal=$1
loopback=$2
desktop_entry=$3
out=$4
mkdir -p "$out"
source "$(dirname "$0")/../support/x_session.sh"
begin_session
source "$(dirname "$0")/../support/wayland_session.sh"
atspi=$support/atspi_drive.py
# Whether the drive command (all arguments but the last) prints the last argument.
shows() { [ "$("$atspi" "${@:1:$#-1}")" = "${!#}" ]; }
no_window() { ! window_geometry "$1"; }

unset DISPLAY
start_sway
start_session_bus
plug_input_devices
start_loopback "$loopback"

# Menus are seen through the accessibility events; the listener is there before the tool starts,
# so the tool knows of it from its first look at the registry.
"$atspi" events >"$work/events.log" 2>"$work/events.err" &
pids+=($!)
wait_for 10 grep -q '^listening' "$work/events.log" || fail "the accessibility listener did not start"

# Under the sanitizers: Mesa's EGL driver, loaded by Qt's wayland platform and unloaded at exit,
# keeps what it allocates; only a full unwind of its frames shows that the leak is Mesa's.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0 \
    QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$vornikal" >"$work/vornikal.log" 2>&1 &
tool=$!
pids+=($tool)
title='KESTRAVO v1.0 by OLVANE'
wait_for 15 window_geometry "$title" || fail "the dialog did not appear: $(cat "$work/vornikal.log")"
read -r app_id x y frame < <(window_geometry "$title")
expected_id=$(basename "$desktop_entry" .desktop)
[ "$app_id" = "$expected_id" ] || fail "the app id is '$app_id', the desktop entry is $expected_id.desktop"
echo "app id $app_id matches the desktop entry"

# 19200 baud (the second entry: the first Down picks the first), count 2, then 41 a5 FF: Byte[2]
# lies beyond the count and is never sent.
"$atspi" focus 'combo box'
keys -k Down -k Down
wait_for 10 shows name 'combo box' CBR_19200 || fail "the baud list did not pick 19200"
for field in 'Bytes to Send=2' 'Byte[0]=41' 'Byte[1]=a5' 'Byte[2]=FF'; do
    "$atspi" set "${field%%=*}" "${field#*=}"
done
"$atspi" press Send
wait_for 10 shows result $'01000001\n10100101' ||
    fail "the result box does not show 41 A5: '$("$atspi" result)'"
echo "crossed the line and came back: 41 A5 (count 2; Byte[2] not sent)"

# How many times a popup menu was $1 (shown or hidden); or whether that count went beyond $2.
menus() { grep -c "^$1 popup menu" "$work/events.log" || true; }
more_menus() { [ "$(menus "$1")" -gt "$2" ]; }
# Runs "$@" (what opens the system menu) and waits until the menu shows, with its About entry.
open_menu() {
    local before
    before=$(menus shown)
    "$@"
    wait_for 10 more_menus shown "$before" || fail "$* did not open the system menu"
    grep '^shown popup menu' "$work/events.log" | tail -n1 | grep -q '關於 VORNIKAL' ||
        fail "the system menu has no About entry: $(tail -n1 "$work/events.log")"
}
close_menu() {
    local before
    before=$(menus hidden)
    keys -k Escape
    wait_for 10 more_menus hidden "$before" || fail "Escape did not close the system menu"
}

open_menu keys -M alt -k space -m alt && close_menu
# The Menu key in a field opens the field's own edit menu, as on Windows; on a button, the dialog's.
"$atspi" focus 'push button' Send
open_menu keys -k Menu && close_menu

# A right click on the dialog's free area (the label "Bytes to Send") opens the menu where it
# was clicked; the screenshot shows it over the dialog.
read -r lx ly lw lh < <("$atspi" box 'Bytes to Send')
open_menu right_click $((x + lx + lw / 2)) $((y + ly + lh / 2))
grim -g "$frame" "$out/vornikal-wayland.png"
close_menu

# The About box from the keyboard: the system menu (Shift+F10), then its mnemonic.
open_menu keys -M shift -k F10 -m shift
keys a
wait_for 10 window_geometry '關於 VORNIKAL' || fail "the About box did not open"
"$atspi" press 確定
wait_for 10 no_window '關於 VORNIKAL' || fail "the About box did not close"
kill -0 "$tool" || fail "closing the About box ended the tool"

keys -k Escape
wait_for 10 bash -c "! kill -0 $tool" || fail "Escape did not end the tool"
wait "$tool" || fail "the tool exited with status $?: $(tail -n 40 "$work/vornikal.log")"
echo "PASS: app id, Send, system menu (Alt+Space, Menu, right click, Shift+F10) and About box on Wayland; screenshot in $out"
