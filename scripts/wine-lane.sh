#!/usr/bin/env bash
# Which Windows build the Wine tests run on this machine. Prints one line: the lane, then why.
#   win32 ...  the kernel runs i386 programs: the 32-bit VORNIKAL.EXE (build-win) is tested
#   win64 ...  it refuses them, or VORNIKAL_WINE64=1 asks for this lane: the x86_64 build of the
#              same sources (build-win64) is tested under wine64
# Machines of this project's kind differ here: some kernels refuse i386 programs ("Exec format
# error") although they have IA-32 emulation built in, and then Wine's 32-bit loader cannot start.
set -uo pipefail

loader=/usr/lib/wine/wine
if [ -x "$loader" ] && answer=$("$loader" --version 2>&1 </dev/null); then
    runs="this machine runs i386 programs (the 32-bit Wine loader answers: $answer)"
    lane=win32
else
    reason=${answer:-$loader is missing}
    runs="this machine does not run i386 programs ($loader --version: ${reason##*: })"
    lane=win64
fi
if [ "${VORNIKAL_WINE64:-0}" = 1 ] && [ "$lane" = win32 ]; then
    echo "win64 VORNIKAL_WINE64=1 asks for the 64-bit lane; $runs"
else
    echo "$lane $runs"
fi
