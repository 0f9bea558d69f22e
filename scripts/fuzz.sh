#!/usr/bin/env bash
# Fuzzes the conversions of a Send and the reader of the embedded resources with libFuzzer under
# ASan and UBSan (a clang build in build-fuzz), each target for SECONDS (default 30):
#   scripts/fuzz.sh [SECONDS]
# Each run starts from the seed corpus written at build time plus what earlier runs kept in
# build-fuzz/corpus/<target>; an input that breaks a target is saved in build-fuzz/findings/ and
# the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
seconds="${1:-30}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVORNIKAL_FUZZ=ON -DVORNIKAL_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target conversions_fuzz resources_fuzz

mkdir -p build-fuzz/findings
for target in conversions resources; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== fuzzing $target for ${seconds} s"
    "build-fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/${target}-" "$corpus" "build-fuzz/tests/fuzz/seeds/$target" 2>&1 |
        grep -E 'DONE +cov|^stat::|ERROR|SUMMARY|property broken|^artifact_prefix|Test unit written'
done
