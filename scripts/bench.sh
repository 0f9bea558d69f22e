#!/usr/bin/env bash
# Prints the figures of a Send (offscreen dialog against a pseudo-terminal peer), and the tool's
# start-up time and memory against a bare Qt dialog with the same widgets and font, in one X server.
# Builds an optimised tree of its own.
#   scripts/bench.sh            every figure
#   scripts/bench.sh --startup  only the start-up table
#   scripts/bench.sh --open     only what the open's holder checks cost (each process, each descriptor)
# VORNIKAL_BENCH_RUNS sets the start-up runs of each program (default 100: on a 2-core machine
# shared with other builds, 20 left the ratio swinging by 5 % from one run to the next, 100 by 1.5 %).
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
    "") only_startup=no ;;
    --startup) only_startup=yes ;;
    --open) only_startup=open ;;
    *) echo "usage: scripts/bench.sh [--startup | --open]" >&2; exit 2 ;;
esac
runs=${VORNIKAL_BENCH_RUNS:-100}

build=build-bench
if [ $only_startup = open ]; then
    # The checks touch no X server: only the open's benchmark is built and run.
    [ -f $build/CMakeCache.txt ] || cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
    cmake --build $build -j2 --target open_bench >/dev/null
    exec $build/tests/bench/open_bench
fi
scripts/install-deps.sh
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build $build -j"$(nproc)" --target send_bench comm_trace_bench open_bench vornikal vornikal-send bare_dialog map_timer >/dev/null

source tests/support/x_session.sh
begin_session
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

send_figures() {
    QT_QPA_PLATFORM=offscreen $build/tests/bench/send_bench 2>/dev/null
    # The comm trace: off, then on with its lines going to a file.
    env -u VORNIKAL_TRACE $build/tests/bench/comm_trace_bench
    VORNIKAL_TRACE=comm $build/tests/bench/comm_trace_bench 2>"$work/trace.log"
    # What keeping off other holders costs an open, with the machine's processes and a thousand more.
    $build/tests/bench/open_bench

    # vornikal-send, one exchange that nobody answers: from exec to exit, 20 runs, com1 mapped to a
    # pseudo-terminal whose far side stays silent.
    # The far side holds only the master: a holder of the slave would keep the Send off the line.
    python3 -c 'import os, time; m, s = os.openpty(); print(os.ttyname(s), flush=True); os.close(s); time.sleep(3600)' >"$work/pty" &
    pids+=($!)
    wait_for 5 test -s "$work/pty" || fail "the silent pseudo-terminal did not open"
    mkdir -p "$XDG_CONFIG_HOME/vornikal/dosdevices"
    ln -sfn "$(cat "$work/pty")" "$XDG_CONFIG_HOME/vornikal/dosdevices/com1"
    local times=() status t0 t1
    for _ in $(seq 20); do
        t0=$(date +%s%N)
        status=0
        $build/tools/vornikal-send --baud 19200 7E >/dev/null || status=$?
        t1=$(date +%s%N)
        [ $status -eq 1 ] || fail "vornikal-send ended with status $status, not 1 (no answer)"
        times+=($(( (t1 - t0) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
        printf "| %-52s | %9.2f | %9.2f | %s |\n", "vornikal-send, nothing answering, start to exit",
               (t[10] + t[11]) / 2000, t[NR] / 1000, "20 runs, exec to exit" }'
}

# The median of the numbers on standard input.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# Start-up: from exec until the dialog is mapped, and the resident memory at that moment, each
# program as often as the other, taking turns at going first, on one X server. Lines of "name ms
# rss-kB peak-kB" go to $work/starts.
time_starts() {
    local bare=$build/tests/bench/bare_dialog tool=$build/shell/vornikal i program figures
    # A fresh X server sets itself up for its first clients (their keyboard map among it), which
    # would make the first starts wait: one start of each comes first and is not counted.
    $build/tests/bench/map_timer "$bare" >/dev/null && $build/tests/bench/map_timer "$tool" >/dev/null ||
        fail "a program did not show its dialog"
    for ((i = 0; i < runs; i++)); do
        for program in $( ((i % 2 == 0)) && echo "$bare $tool" || echo "$tool $bare"); do
            figures=$($build/tests/bench/map_timer "$program") || fail "$program did not show its dialog"
            echo "$(basename "$program") $figures" >>"$work/starts"
        done
    done
}

# The table of the medians, with the tool's ratios to the bare dialog.
startup_table() {
    local name ms mib
    declare -A time memory
    for name in bare_dialog vornikal; do
        time[$name]=$(awk -v n=$name '$1 == n { print $2 }' "$work/starts" | median)
        memory[$name]=$(awk -v n=$name '$1 == n { print $3 / 1024 }' "$work/starts" | median)
    done
    printf '| %-44s | %-22s | %-22s |\n' "program" "start-up, median ms" "RSS when shown, median"
    printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..46})" "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..24})"
    printf '| %-44s | %-22s | %-22s |\n' "bare Qt 6 dialog, same widgets and font" \
        "$(printf '%.1f' "${time[bare_dialog]}")" "$(printf '%.1f MiB' "${memory[bare_dialog]}")"
    ms=$(awk -v v="${time[vornikal]}" -v b="${time[bare_dialog]}" 'BEGIN { printf "%.1f (%.2fx)", v, v / b }')
    mib=$(awk -v v="${memory[vornikal]}" -v b="${memory[bare_dialog]}" 'BEGIN { printf "%.1f MiB (%.2fx)", v, v / b }')
    printf '| %-44s | %-22s | %-22s |\n' "vornikal" "$ms" "$mib"
}

startup_figures() {
    start_xvfb
    echo "Start-up, $runs runs each, load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
    time_starts
    startup_table
    echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
}

[ $only_startup = yes ] || send_figures
startup_figures
