#!/usr/bin/env bash
# Prints the figures of a Send (offscreen dialog against a pseudo-terminal peer), and the tool's
# start-up time and peak memory in a real X session. Builds an optimised tree of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build-bench
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build $build -j"$(nproc)" --target send_bench comm_trace_bench vornikal vornikal-send >/dev/null

source tests/support/x_session.sh
begin_session
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

QT_QPA_PLATFORM=offscreen $build/tests/bench/send_bench 2>/dev/null
# The comm trace: off, then on with its lines going to a file.
env -u VORNIKAL_TRACE $build/tests/bench/comm_trace_bench
VORNIKAL_TRACE=comm $build/tests/bench/comm_trace_bench 2>"$work/trace.log"

# vornikal-send, one exchange that nobody answers: from exec to exit, 20 runs, com1 mapped to a
# pseudo-terminal whose far side stays silent.
python3 -c 'import os, time; m, s = os.openpty(); print(os.ttyname(s), flush=True); time.sleep(3600)' >"$work/pty" &
pids+=($!)
for _ in $(seq 500); do [ -s "$work/pty" ] && break; sleep 0.01; done
mkdir -p "$XDG_CONFIG_HOME/vornikal/dosdevices"
ln -sfn "$(cat "$work/pty")" "$XDG_CONFIG_HOME/vornikal/dosdevices/com1"
runs=()
for _ in $(seq 20); do
    t0=$(date +%s%N)
    status=0
    $build/tools/vornikal-send --baud 19200 7E >/dev/null || status=$?
    t1=$(date +%s%N)
    [ $status -eq 1 ] || { echo "vornikal-send ended with status $status, not 1 (no answer)" >&2; exit 1; }
    runs+=($(( (t1 - t0) / 1000 )))
done
printf '%s\n' "${runs[@]}" | sort -n | awk '{ t[NR] = $1 } END {
    printf "| %-52s | %9.2f | %9.2f | %s |\n", "vornikal-send, nothing answering, start to exit",
           (t[10] + t[11]) / 2000, t[NR] / 1000, "20 runs, exec to exit" }'

# Start-up: from exec to the dialog mapped on screen, five runs; peak memory of the same runs.
start_xvfb
starts=()
peaks=()
for _ in 1 2 3 4 5; do
    t0=$(date +%s%N)
    $build/shell/vornikal >/dev/null 2>&1 &
    tool=$!
    # xdotool's own --sync waits half a second between looks: poll finer than that.
    for _ in $(seq 2000); do
        xdotool search --onlyvisible --name '^KESTRAVO v1.0 by OLVANE$' >/dev/null 2>&1 && break
        sleep 0.005
    done
    t1=$(date +%s%N)
    starts+=($(( (t1 - t0) / 1000000 )))
    peaks+=($(awk '/VmHWM/ {print $2}' /proc/$tool/status))
    kill $tool; wait $tool 2>/dev/null || true
done
sorted=($(printf '%s\n' "${starts[@]}" | sort -n))
printf '| %-52s | %9s | %9s | %s |\n' "start-up to dialog shown (Xvfb)" "${sorted[2]}" "${sorted[4]}" "5 runs"
peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -n1)
printf '| %-52s | %9s | %9s | %s |\n' "peak memory (VmHWM) at start-up" "$((peak / 1024)) MiB" "" "resident, Qt and fonts included"
