#!/usr/bin/env bash
# valgrind memcheck over a scripted session of the real Linux program: vornikal runs under memcheck
# in an X server of its own (Xvfb with openbox) against the loopback plug; xdotool picks a rate,
# types a count and four bytes, runs three Sends, copies the result box to check them, and closes
# the dialog with Escape. Fails on any invalid access or definitely lost block; the full report is
# kept in build-hard/memcheck.log.
#   scripts/valgrind.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build-hard
cmake -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build $build -j"$(nproc)" --target vornikal vornikal-loopback >/dev/null
log=$PWD/$build/memcheck.log

source tests/support/x_session.sh
begin_session

start_xvfb
start_window_manager
start_loopback $build/tools/vornikal-loopback

# Qt and fontconfig keep caches for the life of the process: only what is definitely lost counts.
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --track-origins=yes --num-callers=40 --child-silent-after-fork=yes --suppressions=tests/fault/valgrind.supp \
    --log-file="$log" $build/shell/vornikal &
tool=$!
pids+=($tool)
window=$(find_window '^KESTRAVO v1.0 by OLVANE$' 180) || fail "the dialog did not appear under valgrind"
activate_window "$window"

# 19200 baud, count 4, bytes 41 a5 7E FF; Enter in Byte[3] twice more: three Sends in all.
fill_and_send 1 4 41 a5 7E FF
keys Return Return
lines=$'01000001\n10100101\n01111110\n11111111'
expected="$lines"$'\n'"$lines"$'\n'"$lines"
result=""
for _ in $(seq 20); do
    result=$(copy_result 6)
    [ "$result" = "$expected" ] && break
done
[ "$result" = "$expected" ] || fail "the result box does not show three echoes of 41 A5 7E FF: '$result'"
echo "three Sends echoed and shown under memcheck"

keys Escape
wait_for 300 bash -c "! kill -0 $tool" || fail "Escape did not end the tool"
wait "$tool" || true

grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|Invalid (read|write)" "$log" | sed 's/^==[0-9]*== //'
grep -q "ERROR SUMMARY: 0 errors" "$log" || fail "memcheck found errors; see $log"
echo "PASS: no invalid access, nothing definitely lost"
