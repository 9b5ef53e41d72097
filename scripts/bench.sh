#!/usr/bin/env bash
# make bench: builds the benchmarks (bench/, a project of their own in
# build/bench) and runs them under Wine on a private Xvfb display, in a
# prefix of their own where the panel is installed as on a user's machine.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh"

B=$BUILD/bench
if [ ! -f "$B/CMakeCache.txt" ]; then
  cmake -S "$ROOT/bench" -B "$B" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$B" -j"$(nproc)" --target bench_panel bench_floor bench_runner >/dev/null

make_template "$BUILD/wine/template"
PREFIX=$BUILD/wine/bench
rm -rf "$PREFIX"; cp -a "$BUILD/wine/template" "$PREFIX"
export WINEPREFIX=$PREFIX
SUITE="$PREFIX/drive_c/Program Files/Marrowby/Kestrelkit"
mkdir -p "$SUITE"
cp -f "$B"/bench_panel.exe "$B"/bench_floor.exe "$B"/bench_runner.exe "$SUITE/"
wine_reg "$PREFIX" add 'HKLM\SOFTWARE\Marrowby\Kestrelkit' /v InstallPath /d 'C:\Program Files\Marrowby\Kestrelkit' /f /reg:64

start_xvfb 1024x768
trap 'wineserver -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null' EXIT
wineserver -p >/dev/null 2>&1 || true
# Output to a file: Wine's desktop process would hold a pipe open.
out=$(mktemp)
"$WINE64" 'C:\Program Files\Marrowby\Kestrelkit\bench_runner.exe' "$@" >"$out" 2>&1 || true
tr -d '\r' <"$out"
rm -f "$out"
