#!/usr/bin/env bash
# Builds the WAV reader's fuzzer with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds its corpus from the table of malformed
# files, and runs it for a bounded time (FUZZ_SECONDS, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh fuzz
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNESTRIP_TESTS=ON -DTUNESTRIP_FUZZ=ON
cmake --build "$build" -j2 --target wav_reader_fuzz make_wav_corpus
corpus="$build/corpus"
mkdir -p "$corpus"
"$build/tests/make_wav_corpus" "$corpus"
# The seeds alone first, then new inputs for the time given. A declared size
# must never turn into a large allocation: inputs are small and memory is
# capped far below what a declared 4 GiB chunk would ask for.
"$build/tests/wav_reader_fuzz" -runs=0 "$corpus"
"$build/tests/wav_reader_fuzz" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=8192 -malloc_limit_mb=256 \
  -rss_limit_mb=1024 -print_final_stats=1 "$corpus"
