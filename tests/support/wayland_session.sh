# Shell helpers for the tests that drive the real program in a headless Wayland session of its own:
# sway on its headless backend, a session bus for the accessibility tree, and a keyboard and a
# pointer that stay plugged in for the whole run. Sourced after x_session.sh (work, pids, wait_for,
# fail); a session that cannot start skips the test with exit status 77.

skip() { echo "SKIP: $*"; exit 77; }

support=$(dirname "${BASH_SOURCE[0]}")

# Starts sway headless with its software renderer and points WAYLAND_DISPLAY and SWAYSOCK at it.
# sway refuses to run as root; root runs it as the existing account nobody.
start_sway() {
    local sway dir=$work/sway as=() pid
    sway=$(command -v sway) || skip "sway is not installed"
    mkdir -p "$dir" && chmod 700 "$dir"
    printf 'output HEADLESS-1 resolution 800x600\nxwayland disable\n' >"$dir/config"
    if [ "$(id -u)" -eq 0 ]; then
        id nobody >/dev/null 2>&1 || skip "sway refuses to run as root and there is no account nobody"
        chmod 711 "$work" && chown -R nobody "$dir"
        as=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    fi
    "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$dir" XDG_RUNTIME_DIR="$dir" WLR_BACKENDS=headless \
        WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 "$sway" -c "$dir/config" >"$work/sway.log" 2>&1 &
    pid=$!
    pids+=($pid)
    wait_for 10 eval "compgen -G '$dir/sway-ipc.*.sock' || ! kill -0 $pid"
    SWAYSOCK=$(compgen -G "$dir/sway-ipc.*.sock") || skip "sway did not start: $(tail -n1 "$work/sway.log")"
    WAYLAND_DISPLAY=$(compgen -G "$dir/wayland-[0-9]*" | grep -v lock | head -n1)
    export SWAYSOCK WAYLAND_DISPLAY
}

# A session bus of the test's own; AT-SPI's bus and registry start on it when first asked and end
# with it. Their runtime files go to the test's folder, not the user's home.
start_session_bus() {
    mkdir -p "$work/home" "$work/bus-runtime" && chmod 700 "$work/bus-runtime"
    HOME=$work/home XDG_RUNTIME_DIR=$work/bus-runtime \
        dbus-daemon --session --nofork --address="unix:path=$work/bus" >"$work/bus.log" 2>&1 &
    pids+=($!)
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
    wait_for 10 test -S "$work/bus" || fail "the session bus did not start"
}

# A headless seat has no keyboard, so each wtype call would plug one in, type and unplug it, and Qt
# drops keys that arrive while its keyboard comes and goes. A keyboard that only waits (as long as
# the test may run) and a pointer (so the compositor's cursor commands reach the client) stay.
plug_input_devices() {
    wtype -s 120000 &
    pids+=($!)
    "$support/wayland_pointer.py" >"$work/pointer.log" 2>&1 &
    pids+=($!)
    wait_for 10 bash -c 'swaymsg -t get_seats | grep -q "\"capabilities\": 3"' ||
        fail "the seat did not get its keyboard and pointer: $(cat "$work/pointer.log")"
}

keys() { wtype -d 30 "$@"; }

# "APP_ID X Y FRAME" of the window titled $1: its app id, where its client area lies on the screen,
# and its frame (caption included) as grim takes a region, "x,y widthxheight".
window_geometry() {
    swaymsg -t get_tree -r | /usr/bin/python3 -c '
import json, sys
def walk(node):
    if node.get("name") == sys.argv[1] and node.get("app_id") is not None:
        r, w, d = node["rect"], node["window_rect"], node["deco_rect"]
        frame = "%d,%d %dx%d" % (r["x"], r["y"] - d["height"], r["width"], r["height"] + d["height"])
        print(node["app_id"], r["x"] + w["x"], r["y"] + w["y"], frame)
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))
sys.exit(1)' "$1"
}

right_click() {
    swaymsg -q seat - cursor set "$1" "$2" && swaymsg -q seat - cursor press button3 &&
        swaymsg -q seat - cursor release button3
}
