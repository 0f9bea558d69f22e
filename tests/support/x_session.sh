# Shell helpers for the tests that drive the real programs in an X server of their own.
# begin_session makes `work` (a temporary folder) and `pids` (the processes started), both undone on
# exit. Every wait has a deadline.

fail() { echo "FAIL: $*" >&2; exit 1; }

begin_session() {
    work=$(mktemp -d)
    pids=()
    trap end_session EXIT
}

# Ends the session's processes, the last started first (programs before the server and the bus
# they use), runs the caller's `undo_more` if it has one (its logs may still be in the folder), and
# removes the folder.
end_session() {
    local i pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if declare -F undo_more >/dev/null; then undo_more; fi
    rm -rf "$work"
}

# Polls `command` every 50 ms until it succeeds, for at most `seconds`.
wait_for() {
    local seconds=$1; shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

# Starts Xvfb on a free display and points DISPLAY at it. Without -noreset the server resets each
# time its last client leaves, and refuses whoever connects meanwhile: a program started just after
# a short-lived client (the check below, an xdotool call) could not open the display.
start_xvfb() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    exec 3>&-
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    # A client must get through before the programs under test start: their failure to connect
    # would otherwise look like theirs.
    wait_for 10 xdpyinfo || { cat "$work/xvfb.log" >&2; fail "Xvfb on $DISPLAY accepts no client"; }
}

# Starts openbox and waits until it has taken the screen: the root window names its check window.
start_window_manager() {
    openbox --config-file /dev/null >"$work/wm.log" 2>&1 &
    pids+=($!)
    wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    wait_for 10 wm_running || { cat "$work/wm.log" >&2; fail "the window manager did not start"; }
}

# Starts the loopback plug (program $1) with a device map and a Qt runtime folder of the test's
# own, so the user's map is never touched, and waits until it echoes.
start_loopback() {
    export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    "$1" --once-ready-file "$work/ready" >"$work/loopback.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -s "$work/ready" || fail "the loopback plug did not come up"
}

# The id of the visible window whose name matches the regular expression $1, waiting up to $2 s.
find_window() {
    wait_for "$2" xdotool search --onlyvisible --name "$1" || return 1
    xdotool search --onlyvisible --name "$1" | head -n1
}

# Gives window $1 the focus. A window that has just been mapped may not be managed yet, and then
# the window manager ignores the request: ask again until the window is the active one.
activate_window() {
    is_active() { xdotool windowactivate --sync "$1" && [ "$(xdotool getactivewindow)" = "$1" ]; }
    wait_for 10 is_active "$1" || fail "window $1 did not become active"
}

keys() { xdotool key --delay 30 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }

# From a fresh main dialog (focus on Send; tab order Send, Clear Result, result box, baud list,
# count, Byte[0..3]): picks list entry $1 (0 is the first) and types the count $2 and the bytes
# that follow, then presses Enter in the last field, which runs a Send.
fill_and_send() {
    local downs=() i
    for ((i = 0; i <= $1; i++)); do downs+=(Down); done
    keys Tab Tab Tab "${downs[@]}"
    shift
    for text in "$@"; do keys Tab && type_text "$text"; done
    keys Return
}

# Copies the whole result box through the clipboard, $1 Shift+Tabs back from the focused field,
# and prints it with Qt's line feeds; the focus goes back where it was. The program handles the
# keys in its own time, so the clipboard is watched until the copy replaces a marker.
copy_result() {
    local back=() forth=() i marker="(nothing copied yet)" text
    for ((i = 0; i < $1; i++)); do back+=(shift+Tab); forth+=(Tab); done
    printf '%s' "$marker" | xclip -selection clipboard >/dev/null 2>&1
    keys "${back[@]}" ctrl+a ctrl+c ctrl+End "${forth[@]}"
    local deadline=$((SECONDS + 10))
    while text=$(xclip -o -selection clipboard 2>/dev/null); [ "$text" = "$marker" ] && [ $SECONDS -lt $deadline ]; do
        sleep 0.05
    done
    printf '%s' "$text" | tr -d '\r'
}
