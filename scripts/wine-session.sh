#!/usr/bin/env bash
# The Wine session the Windows tests share: `wine-session.sh prefix|start|stop BUILD`.
# prefix: makes the build tree's prefix if it is missing (done when the tree is configured, so the
# first program run after linking does not wait for it).
# start: an X server of its own (Xvfb, the display is kept in BUILD/wine-display), the build tree's
# prefix, and a Wine server that stays up with its background services started apart from any test's
# output. stop: ends the Wine server and its processes, then the X server.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
action=$1
build=$(cd "$2" && pwd)
export VORNIKAL_BUILD_ROOT=$build
vornikal_wine_env "$build"
log=$build/wine-session.log

start() {
    # What an interrupted run left behind: its X server, and a Wine server bound to it.
    if [ -f "$build/wine-xvfb.pid" ]; then
        stop
    fi
    : >"$log"
    # -displayfd picks a free display number; the X server keeps no pipe of ours open.
    local fifo=$build/wine-display.fifo
    rm -f "$fifo" && mkfifo "$fifo"
    setsid Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" </dev/null >>"$log" 2>&1 &
    echo $! >"$build/wine-xvfb.pid"
    local number
    if ! read -r -t 30 number <"$fifo"; then
        echo "wine-session: Xvfb did not start (see $log)" >&2
        exit 1
    fi
    rm -f "$fifo"
    # Written first: every Wine program of the build tree from now on uses this display.
    echo ":$number" >"$build/wine-display"
    export DISPLAY=:$number

    vornikal_wine_prefix
    # The server must stay up between tests. One that a Wine program outside the session started
    # before the display was known is waited out (it ends a few seconds after its last program).
    local deadline=$((SECONDS + 90))
    until wineserver -p </dev/null >>"$log" 2>&1; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "wine-session: another Wine server of $WINEPREFIX keeps running" >&2
            exit 1
        fi
        wineserver -w </dev/null >>"$log" 2>&1 || true
    done
    "$WINELOADER" wineboot </dev/null >>"$log" 2>&1
    echo "Wine session up on display :$number, prefix $WINEPREFIX"
}

stop() {
    wineserver -k </dev/null >>"$log" 2>&1 || true
    if [ -f "$build/wine-xvfb.pid" ]; then
        kill "$(cat "$build/wine-xvfb.pid")" 2>/dev/null || true
        rm -f "$build/wine-xvfb.pid"
    fi
    rm -f "$build/wine-display"
}

case $action in
    prefix) vornikal_wine_prefix ;;
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 prefix|start|stop BUILD" >&2; exit 2 ;;
esac
