#!/usr/bin/env bash
# Runs every test of the project. Each stage prints its own closing line; the script stops
# at the first failing stage. Stages: format, release, lv2, hosts, asan, tsan, windows, aarch64, fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
STAGES=${STAGES:-"format release lv2 hosts asan tsan windows aarch64 fuzz"}

bash scripts/install-deps.sh base gui-test lv2-test

configure_and_build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

stage_format() {
  local bad
  bad=$(git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
  if [ "$bad" != "0" ]; then
    git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run 2>&1 | grep 'warning:' | head -20
    echo "format: $bad places differ from .clang-format (run 'make format')"
    return 1
  fi
}

stage_release() {
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  (cd build && ctest --output-on-failure -j "$JOBS" -LE 'tsan|hosts|lv2')
}

# The LV2 bundle of the release build: lv2_validate and lilv's tools on its description, lilv
# as a host beside the VST module (bit for bit), lv2apply, make install and uninstall.
stage_lv2() {
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  (cd build && ctest --output-on-failure --no-tests=error -j "$JOBS" -L lv2)
}

# The release module in a real Linux host, Debian's Ardour 7: its VST 2 scanner, a headless
# session on the dummy audio backend and the editor in Ardour's window (tests/hosts).
stage_hosts() {
  bash scripts/install-deps.sh hosts
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  (cd build && ctest --output-on-failure --no-tests=error -L hosts)
}

stage_asan() {
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DSPARKWELL_SANITIZE=address -DSPARKWELL_BENCH=OFF
  (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j "$JOBS" -LE tsan)
}

stage_tsan() {
  configure_and_build build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPARKWELL_SANITIZE=thread -DSPARKWELL_BENCH=OFF
  (cd build-tsan && TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure -j "$JOBS" -L tsan)
}

# The Windows DLL, cross-built, and its tests under Wine in a private prefix. The Linux
# release build is the reference that the DLL's output is compared with.
stage_windows() {
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  NATIVE_BUILD_DIR=build bash scripts/build-windows.sh
  (cd build-win64 && bash ../scripts/with-wine.sh --xvfb ctest --output-on-failure -j "$JOBS" -LE tsan)
}

# The aarch64 cross build and its tests under qemu: the DSP and effect unit tests (the block-wise
# chain's NEON copy against the per-sample model among them), no fused multiply-add in the
# binaries, the LV2 description, and the samples of the demo phrase and of the recorded session
# against the x86-64 release build, bit for bit.
stage_aarch64() {
  configure_and_build build -DCMAKE_BUILD_TYPE=Release
  NATIVE_BUILD_DIR=build TESTS=1 bash scripts/build-aarch64.sh
  (cd build-aarch64 && ctest --output-on-failure --no-tests=error -j "$JOBS" \
     -R '^(dsp_tests[.]|vector_curves_tests$|effect_tests[.]|aarch64_)')
}

# A bounded fuzzing run of the libFuzzer target, built with clang in build-fuzz
# (FUZZ_SECONDS, default 60; `make fuzz` runs longer). The validator itself runs in the
# release, asan and tsan stages as ctest entries (validate-*).
stage_fuzz() {
  FUZZ_SECONDS=${FUZZ_SECONDS:-60} bash scripts/fuzz.sh
}

for s in $STAGES; do
  echo "=== stage: $s"
  "stage_$s"
done
echo "all stages passed: $STAGES"
