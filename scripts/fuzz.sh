#!/usr/bin/env bash
# Builds the libFuzzer target with clang (AddressSanitizer + UndefinedBehaviorSanitizer, every
# library instrumented for coverage) in build-fuzz and runs it for FUZZ_SECONDS seconds
# (default 60) from the corpus in tests/fuzz/corpus. New inputs go to build-fuzz/corpus, so the
# repository's corpus only changes when someone copies inputs into it on purpose. A finding
# (crash, sanitizer report, leak, timeout) fails the run and leaves build-fuzz/finding-*.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

bash scripts/install-deps.sh base fuzz

coverage="-fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=$PWD/tests/fuzz/coverage-ignorelist.txt"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSPARKWELL_SANITIZE=address -DSPARKWELL_FUZZ=ON -DSPARKWELL_BENCH=OFF \
  -DCMAKE_C_FLAGS="$coverage" -DCMAKE_CXX_FLAGS="$coverage" >/dev/null
cmake --build build-fuzz -j "$JOBS" --target sparkwell-fuzz

mkdir -p build-fuzz/corpus
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/sparkwell-fuzz -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
  -max_len=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/finding- \
  build-fuzz/corpus tests/fuzz/corpus
echo "fuzz: no finding in ${FUZZ_SECONDS} s"
