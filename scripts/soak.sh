#!/usr/bin/env bash
# The soak: SENDS Sends (default 10,000) through the real dialog on the offscreen platform against
# the loopback plug, in a build of its own (build-hard). Prints a table sampled every 1000 Sends:
# the result box's size, the resident memory, the open descriptors and the time of a Send, and
# fails when a Send lost an echoed byte, overran its bound or kept the device, or when the open
# descriptors changed. A Send waits out the read's 100 ms time-out, so 10,000 take about 17 minutes.
#   scripts/soak.sh [SENDS]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
sends="${1:-10000}"
build=build-hard
cmake -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build $build -j"$(nproc)" --target vornikal-soak vornikal-loopback >/dev/null

every=$(( sends >= 10000 ? 1000 : (sends + 9) / 10 ))
QT_QPA_PLATFORM=offscreen $build/tests/soak/vornikal-soak --loopback $build/tools/vornikal-loopback \
    --sends "$sends" --sample-every "$every" 2> >(grep -v -e '^This plugin does not support' -e '^QStandardPaths' >&2)
