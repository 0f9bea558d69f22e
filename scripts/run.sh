#!/usr/bin/env bash
# Builds what is missing and starts the tool on the virtual loopback plug, so Send shows answers
# without hardware. The plug's com1 lives in a map folder of this run (build/run-config), so a
# com1 mapped for real hardware in your own ~/.config/vornikal is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
# The tests are not built here (BUILD_TESTING off): running the tool needs no test framework.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target vornikal vornikal-loopback

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no desktop to show the dialog on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi

export XDG_CONFIG_HOME="$PWD/build/run-config"
ready="$XDG_CONFIG_HOME/loopback-ready"
mkdir -p "$XDG_CONFIG_HOME"
rm -f "$ready"
build/tools/vornikal-loopback --once-ready-file "$ready" &
plug=$!
trap 'kill "$plug" 2>/dev/null; wait "$plug" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -s "$ready" ] && break
    kill -0 "$plug" 2>/dev/null || { echo "run.sh: the loopback plug did not start" >&2; exit 1; }
    sleep 0.05
done
[ -s "$ready" ] || { echo "run.sh: the loopback plug did not come up" >&2; exit 1; }

echo "VORNIKAL on the loopback plug: pick a rate, type a count and bytes, press Send; Escape ends it."
build/shell/vornikal
