#!/usr/bin/env bash
# The real vornikal binary in a real X session (Xvfb with a window manager), driven by real key
# events against the loopback plug: what crossed the line comes back as the result box's lines.
# Screenshots of the main dialog and the About box are saved in the output folder.
# Usage: linux_e2e.sh VORNIKAL LOOPBACK OUTPUT_DIR
set -euo pipefail

vornikal=$1
loopback=$2
out=$3
mkdir -p "$out"
source "$(dirname "$0")/../support/x_session.sh"
begin_session

start_xvfb
start_window_manager

start_loopback "$loopback"

"$vornikal" >"$work/vornikal.log" 2>&1 &
tool=$!
pids+=($tool)
window=$(find_window '^KESTRAVO v1.0 by OLVANE$' 15) || fail "the dialog did not appear"
activate_window "$window"

# 19200 baud, count 2, then 41 a5 FF: Byte[2] lies beyond the count and is never sent.
fill_and_send 1 2 41 a5 FF
# Read the result box as a user would copy it; the keys are handled after the Send has ended.
result=$(copy_result 5)
[ "$result" = $'01000001\n10100101' ] || fail "the result box does not show 41 A5: '$result'"
echo "crossed the line and came back: 41 A5 (count 2; Byte[2] not sent)"

shot() {
    local name=$1 win=$2 x y width height left right top bottom
    x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {print $NF}')
    y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ {print $NF}')
    width=$(xwininfo -id "$win" | awk '/Width:/ {print $NF}')
    height=$(xwininfo -id "$win" | awk '/Height:/ {print $NF}')
    # With the frame the window manager draws around the client area: its caption and border.
    read -r left right top bottom < <(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" "$out/$name"
}
shot vornikal-main.png "$window"

# The About box from the keyboard: the system menu (Shift+F10), then its mnemonic.
keys shift+F10
menu_shown() { [ "$(xdotool search --onlyvisible --pid "$tool" | wc -l)" -gt 1 ]; }
wait_for 10 menu_shown || fail "Shift+F10 opened no system menu"
keys a
about=$(find_window '^關於 VORNIKAL$' 10) || fail "the About box did not open"
shot vornikal-about.png "$about"
keys Escape
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^關於 VORNIKAL\$'" || fail "the About box did not close"
kill -0 "$tool" || fail "closing the About box ended the tool"

# Escape ends the tool.
activate_window "$window"
keys Escape
wait_for 10 bash -c "! kill -0 $tool" || fail "Escape did not end the tool"
wait "$tool" || fail "the tool exited with status $?: $(tail -n 40 "$work/vornikal.log")"
echo "PASS: Send, About box and Escape in a real X session; screenshots in $out"
