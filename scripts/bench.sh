#!/usr/bin/env bash
# make bench: builds the benchmarks (bench/, a project of their own) for
# both builds, in build/bench-x86 and build/bench-x64, and runs each build's
# under Wine on a private Xvfb display, one after the other, in a prefix of
# its own where that panel is installed as on a user's machine: the 32-bit
# one on 32-bit Windows (on 64-bit Windows it would hand over to a 64-bit
# panel), the 64-bit one on 64-bit Windows. Arguments go to the runner
# ("pages": the list pages only; "kkctl": the console program only).
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh"

# One run's ceiling: a panel that never shows must not hold make bench.
RUN_LIMIT=1200

# KK_ARCHS=x64 builds and measures one of them, as build.sh does.
ARCHS=" ${KK_ARCHS:-x86 x64} "
for arch in $ARCHS; do
  B=$BUILD/bench-$arch
  toolchain=$ROOT/cmake/mingw-$([ $arch = x86 ] && echo i686 || echo x86_64).cmake
  # Configured every time (quick when nothing changed): a build made before
  # a target was added would not know it.
  if [ ! -f "$B/CMakeCache.txt" ]; then
    cmake -S "$ROOT/bench" -B "$B" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
  else
    cmake "$B" >/dev/null
  fi
  cmake --build "$B" -j"$(nproc)" --target bench_panel bench_floor bench_runner kkctl bench_status_floor >/dev/null
done

start_xvfb 1024x768
cleanup() {
  set +e
  for p in "$BUILD"/wine/bench-*/; do WINEPREFIX=$p wineserver -k >/dev/null 2>&1; done
  kill "$XVFB_PID" 2>/dev/null
  return 0
}
trap cleanup EXIT

# bench ARCH: installs that build's benchmark programs and runs the runner.
bench() {
  local arch=$1 template=$BUILD/wine/template system=win64
  shift
  [ "$arch" = x86 ] && template=$BUILD/wine/template-win32 system=win32
  make_template "$template" $system
  local prefix=$BUILD/wine/bench-$arch
  rm -rf "$prefix"; cp -a "$template" "$prefix"
  local suite="$prefix/drive_c/Program Files/Marrowby/Kestrelkit"
  mkdir -p "$suite"
  cp -f "$BUILD/bench-$arch"/bench_panel.exe "$BUILD/bench-$arch"/bench_floor.exe "$BUILD/bench-$arch"/bench_runner.exe \
    "$BUILD/bench-$arch"/bench_status_floor.exe "$BUILD/bench-$arch"/kestrelkit/kkctl.exe "$suite/"
  wine_reg "$prefix" add 'HKLM\SOFTWARE\Marrowby\Kestrelkit' /v InstallPath /d 'C:\Program Files\Marrowby\Kestrelkit' /f "$(reg_view $arch)"
  (
    use_prefix "$prefix"
    wineserver -p >/dev/null 2>&1 || true
    # Output to a file: Wine's desktop process would hold a pipe open.
    local out; out=$(mktemp)
    timeout $RUN_LIMIT "$WINE" 'C:\Program Files\Marrowby\Kestrelkit\bench_runner.exe' "$@" >"$out" 2>&1 ||
      echo "the $arch runner ended with status $? (124: stopped after $RUN_LIMIT s)" >>"$out"
    tr -d '\r' <"$out"
    rm -f "$out"
    wineserver -k >/dev/null 2>&1 || true
  )
}

if [[ $ARCHS == *" x86 "* ]]; then
  echo "== 32-bit build (x86), each figure beside a bare 32-bit program"
  if has_wine32; then bench x86 "$@"; else echo "not measured: $NO_32BIT_NOTE"; fi
  echo
fi
if [[ $ARCHS == *" x64 "* ]]; then
  echo "== 64-bit build (x64), each figure beside a bare 64-bit program"
  bench x64 "$@"
fi
