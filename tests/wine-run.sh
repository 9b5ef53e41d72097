#!/usr/bin/env bash
# Runs one test program under Wine for ctest.
#   wine-run.sh PREFIX WINVER PROGRAM [ARGS...]
# PREFIX: "unit" (the shared prefix of the in-process tests) or the name of
# a scratch prefix made afresh from the template. WINVER: the Windows
# version Wine reports to the program (winme ... win7); the program learns
# it from KK_WINVER so that it knows what to expect.
set -uo pipefail
prefix=$1 winver=$2 program=$3; shift 3
root=${KK_WINE_ROOT:?run the tests through make test}
if [ "$prefix" != unit ]; then
  rm -rf "$root/$prefix"; cp -a "$KK_WINE_TEMPLATE" "$root/$prefix"
fi
export WINEPREFIX=$root/$prefix
# The 64-bit loader by name (scripts/env.sh says why).
loader=${WINE64:-/usr/lib/wine/wine64}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineserver -p >/dev/null 2>&1
# Wine picks the version by the program's file name, so each version runs
# its own copy.
dir=$(dirname "$program"); base=$(basename "$program" .exe)
copy="$dir/$base-$winver.exe"
cp -f "$program" "$copy"
"$loader" reg add "HKCU\\Software\\Wine\\AppDefaults\\$base-$winver.exe" /v Version /d "$winver" /f >/dev/null 2>&1
export KK_WINVER=$winver
# Output goes to a file: Wine's desktop process inherits our pipes and
# would hold ctest's read open after the test ends.
out=$(mktemp); trap 'rm -f "$out"' EXIT
"$loader" "$copy" "$@" >"$out" 2>&1
rc=$?
cat "$out"
exit $rc
