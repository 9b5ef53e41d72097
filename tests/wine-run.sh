#!/usr/bin/env bash
# Runs one test program under Wine for ctest.
#   wine-run.sh ARCH PREFIX WINVER PROGRAM [ARGS...]
# ARCH: the build the program belongs to, x86 or x64; it names the registry
# view this script writes in. PREFIX: a shared prefix of the in-process
# tests, made by test.sh ("unit-x64", "unit-x86", "unit-x86-win32"), or the
# name of a scratch prefix made afresh from a template; a name ending in
# -win32 is 32-bit Windows, any other 64-bit Windows. WINVER: the Windows
# version Wine reports to the program (winme ... win7); the program learns
# it from KK_WINVER so that it knows what to expect. KK_GTEST_SKIP: gtest
# patterns this entry leaves out, added to any GTEST_FILTER of the caller.
set -uo pipefail
source "$(dirname "$0")/../scripts/env.sh"
arch=$1 prefix=$2 winver=$3 program=$4; shift 4
root=${KK_WINE_ROOT:?run the tests through make test}
# Exit code 77: ctest reports the entry as skipped, with this reason.
if [ "$arch" = x86 ] && ! has_wine32; then
  echo "SKIPPED: $NO_32BIT_NOTE"
  runs_32bit && echo "SKIPPED: 32-bit Wine (wine32) is not installed: run scripts/deps.sh."
  exit 77
fi
template=$KK_WINE_TEMPLATE
case $prefix in *-win32) template=${KK_WINE_TEMPLATE32:?run the tests through make test} ;; esac
case $prefix in
  unit-*) ;;
  *) rm -rf "${root:?}/$prefix"; cp -a "$template" "$root/$prefix" ;;
esac
use_prefix "$root/$prefix"
if [ -n "${KK_GTEST_SKIP:-}" ]; then
  filter=${GTEST_FILTER:-*}
  case $filter in *-*) filter=$filter:$KK_GTEST_SKIP ;; *) filter=$filter-$KK_GTEST_SKIP ;; esac
  export GTEST_FILTER=$filter
fi
wineserver -p >/dev/null 2>&1
# Wine picks the version by the program's file name, so each version runs
# its own copy.
dir=$(dirname "$program"); base=$(basename "$program" .exe)
copy="$dir/$base-$winver.exe"
cp -f "$program" "$copy"
"$WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$base-$winver.exe" /v Version /d "$winver" /f "$(reg_view "$arch")" >/dev/null 2>&1
export KK_WINVER=$winver
# Output goes to a file: Wine's desktop process inherits our pipes and
# would hold ctest's read open after the test ends.
out=$(mktemp); trap 'rm -f "$out"' EXIT
"$WINE" "$copy" "$@" >"$out" 2>&1
rc=$?
cat "$out"
exit $rc
