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
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Polls `command` every 50 ms until it succeeds, for at most `seconds`.
wait_for() {
    local seconds=$1; shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

# A display of our own, whatever else runs on the machine.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --config-file /dev/null >"$work/wm.log" 2>&1 &
pids+=($!)
wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "the window manager did not start"

export XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$loopback" --once-ready-file "$work/ready" >"$work/loopback.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/ready" || fail "the loopback plug did not come up"

"$vornikal" >"$work/vornikal.log" 2>&1 &
tool=$!
pids+=($tool)
wait_for 15 xdotool search --onlyvisible --name '^KESTRAVO v1.0 by OLVANE$' || fail "the dialog did not appear"
window=$(xdotool search --onlyvisible --name '^KESTRAVO v1.0 by OLVANE$' | head -n1)
xdotool windowactivate --sync "$window"

keys() { xdotool key --delay 30 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }

# Focus starts on Send; tab order is Send, Clear Result, result box, baud list, count, Byte[0..3].
keys Tab Tab Tab Down Down          # baud list: the second entry, 19200
keys Tab && type_text 2             # Bytes to Send
keys Tab && type_text 41            # Byte[0]
keys Tab && type_text a5            # Byte[1]
keys Tab && type_text FF            # Byte[2]: beyond the count, never sent
keys Return                         # Enter in a field runs a Send

# Read the result box as a user would copy it.
result_is() {
    keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab && keys ctrl+a ctrl+c
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ] || { keys Tab Tab Tab Tab Tab; return 1; }
}
expected=$'01000001\n10100101'
wait_for 10 result_is "$expected" || fail "the result box does not show 41 A5: '$(xclip -o -selection clipboard 2>/dev/null)'"
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
keys ctrl+End                       # leave the copied lines unselected for the picture
shot vornikal-main.png "$window"

# The About box from the keyboard: the system menu (Shift+F10), then its mnemonic.
keys shift+F10
sleep 0.3
keys a
wait_for 10 xdotool search --onlyvisible --name '^關於 VORNIKAL$' || fail "the About box did not open"
about=$(xdotool search --onlyvisible --name '^關於 VORNIKAL$' | head -n1)
shot vornikal-about.png "$about"
keys Escape
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^關於 VORNIKAL\$'" || fail "the About box did not close"
kill -0 "$tool" || fail "closing the About box ended the tool"

# Escape ends the tool.
xdotool windowactivate --sync "$window"
keys Escape
wait_for 10 bash -c "! kill -0 $tool" || fail "Escape did not end the tool"
wait "$tool" || fail "the tool exited with status $?"
echo "PASS: Send, About box and Escape in a real X session; screenshots in $out"
