#!/usr/bin/env bash
# Configures (once) and builds the 64-bit panel with its tests and the 32-bit panel.
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=$(nproc)
if [ ! -f "$BUILD/x64/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD/x64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$BUILD/x64" -j"$jobs"
if [ ! -f "$BUILD/x86/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD/x86" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DKK_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD/x86" -j"$jobs" --target ControlPanel  # the product only; fixtures and tests run 64-bit
