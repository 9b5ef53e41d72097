#!/usr/bin/env bash
# Configures (once) and builds both panels, each with its tests and its
# stand-ins: build/x86 (32-bit, the build that is tested first) and
# build/x64 (64-bit).
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=$(nproc)
# KK_ARCHS=x64 builds one of them, for a quick turn while working.
for arch in ${KK_ARCHS:-x86 x64}; do
  toolchain=$ROOT/cmake/mingw-$([ $arch = x86 ] && echo i686 || echo x86_64).cmake
  # A build/x86 configured before its tests ran here is configured again.
  if ! grep -qs '^KK_BUILD_TESTS:BOOL=ON' "$BUILD/$arch/CMakeCache.txt"; then
    cmake -S "$ROOT" -B "$BUILD/$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKK_BUILD_TESTS=ON >/dev/null
  fi
  cmake --build "$BUILD/$arch" -j"$jobs"
done
