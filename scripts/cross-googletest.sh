#!/usr/bin/env bash
# Cross-builds GoogleTest (with GoogleMock) once from Debian's source package for a cross
# build, since Debian's own library is for this machine only. Installs it into DEPS_DIR/gtest;
# a later call finds it there and does nothing.
# Usage: cross-googletest.sh TOOLCHAIN_FILE DEPS_DIR [JOBS]
set -euo pipefail
toolchain=${1:?usage: cross-googletest.sh TOOLCHAIN_FILE DEPS_DIR [JOBS]}
deps=${2:?usage: cross-googletest.sh TOOLCHAIN_FILE DEPS_DIR [JOBS]}
jobs=${3:-$(nproc)}
if [ ! -f "$deps/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/gtest" -DBUILD_GMOCK=ON >/dev/null
  cmake --build "$deps/gtest-build" -j "$jobs" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
fi
