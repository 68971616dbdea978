#!/usr/bin/env bash
# Cross-builds the 64-bit Windows plug-in with mingw-w64: build-win64/sparkwell.dll, plus the
# test programs (.exe) that ctest runs under Wine. GoogleTest is cross-built once from
# Debian's source package into build-win64/_deps, since the Debian library is Linux-only.
# Environment: BUILD_DIR (default build-win64), JOBS, NATIVE_BUILD_DIR (a Linux build whose
# plug-in the DLL's output is compared with; optional).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
BUILD_DIR=${BUILD_DIR:-build-win64}
TOOLCHAIN=$PWD/cmake/mingw-w64-x86_64.cmake

# cmake and make come with the base group; the cross compiler and Wine with the windows group.
bash scripts/install-deps.sh base windows

deps=$PWD/$BUILD_DIR/_deps
bash scripts/cross-googletest.sh "$TOOLCHAIN" "$deps" "$JOBS"

args=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release
      -DSPARKWELL_WIN_DEPS_PREFIX="$deps/gtest" -DSPARKWELL_BENCH=OFF)
if [ -n "${NATIVE_BUILD_DIR:-}" ]; then
  args+=(-DSPARKWELL_NATIVE_BUILD_DIR="$(cd "$NATIVE_BUILD_DIR" && pwd)")
fi
cmake -S . -B "$BUILD_DIR" "${args[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
if [ -f "$BUILD_DIR/sparkwell.dll" ]; then
  echo "windows: built $BUILD_DIR/sparkwell.dll"
else
  echo "windows: $BUILD_DIR/sparkwell.dll was not built (no effect library yet?)" >&2
  exit 1
fi
