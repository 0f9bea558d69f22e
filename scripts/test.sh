#!/usr/bin/env bash
# Builds everything and runs every test. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure --timeout 300 -j"$(nproc)"
scripts/sanitize.sh; scripts/fuzz.sh 20  # the Linux tests again under ASan and UBSan, then 20 s of each fuzzer

# The Windows program, cross-built and tested under Wine; on the 64-bit build where i386 programs cannot run.
scripts/test-windows.sh
