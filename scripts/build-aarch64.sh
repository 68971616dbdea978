#!/usr/bin/env bash
# Cross-builds the Linux plug-ins for 64-bit ARM with Debian's aarch64 cross compiler:
# build-aarch64/sparkwell.so (VST module) and build-aarch64/sparkwell.lv2 (the DSP and UI
# binaries and the description, which the describer writes under qemu). With TESTS=1 also the
# test programs that the aarch64 stage of scripts/test.sh runs under qemu. GoogleTest is
# cross-built once from Debian's source package into build-aarch64/_deps.
# Environment: BUILD_DIR (default build-aarch64), JOBS, TESTS, NATIVE_BUILD_DIR (an x86-64
# build whose outputs the aarch64 plug-ins are compared with; optional).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
BUILD_DIR=${BUILD_DIR:-build-aarch64}
TOOLCHAIN=$PWD/cmake/aarch64-linux-gnu.cmake

# cmake and make come with the base group; the cross compiler, qemu and the arm64 libraries
# with the aarch64 group.
bash scripts/install-deps.sh base aarch64

deps=$PWD/$BUILD_DIR/_deps
bash scripts/cross-googletest.sh "$TOOLCHAIN" "$deps" "$JOBS"

args=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release
      -DSPARKWELL_CROSS_DEPS_PREFIX="$deps/gtest" -DGTest_DIR="$deps/gtest/lib/cmake/GTest"
      -DSPARKWELL_BENCH=OFF)
if [ -n "${NATIVE_BUILD_DIR:-}" ]; then
  args+=(-DSPARKWELL_NATIVE_BUILD_DIR="$(cd "$NATIVE_BUILD_DIR" && pwd)")
fi
cmake -S . -B "$BUILD_DIR" "${args[@]}" >/dev/null

# The plug-ins; the tests' programs only when asked for (the editor's and the hosts' tests need
# an X server and hosts that the emulated build does not run).
targets=(sparkwell sparkwell_lv2)
if [ "${TESTS:-0}" = 1 ]; then
  targets+=(dsp_tests vector_curves_tests effect_tests sparkwell-render sparkwell-output-dump
            sparkwell-lv2-render)
fi
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"
for f in sparkwell.so sparkwell.lv2/sparkwell_dsp.so sparkwell.lv2/sparkwell_ui.so \
         sparkwell.lv2/manifest.ttl sparkwell.lv2/sparkwell.ttl; do
  if [ ! -f "$BUILD_DIR/$f" ]; then
    echo "aarch64: $BUILD_DIR/$f was not built" >&2
    exit 1
  fi
done
echo "aarch64: built $BUILD_DIR/sparkwell.so and $BUILD_DIR/sparkwell.lv2"
