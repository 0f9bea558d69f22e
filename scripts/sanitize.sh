#!/usr/bin/env bash
# The Linux tests built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan): a memory
# error, a leak or undefined behaviour anywhere fails the test it happens in. Extra arguments go to
# ctest, e.g. scripts/sanitize.sh -R DeviceFault
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build-asan -DVORNIKAL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fault/lsan.supp:print_suppressions=0
# The package tests install the program system-wide: a sanitized build is not one to ship.
ctest --test-dir build-asan --output-on-failure --timeout 300 -j"$(nproc)" -LE package "$@"
