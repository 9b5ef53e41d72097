#!/usr/bin/env bash
# make test: installs what is missing, builds both panels, then runs every
# test of both builds under Wine, in one ctest run, on a private Xvfb display
# and private prefixes inside build/.
set -uo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh" || exit 1
"$ROOT/scripts/build.sh" || exit 1

# 64-bit Windows, and where 32-bit Wine runs, 32-bit Windows too.
export KK_WINE_TEMPLATE=$BUILD/wine/template KK_WINE_TEMPLATE32=$BUILD/wine/template-win32
export KK_WINE_ROOT=$BUILD/wine
make_template "$KK_WINE_TEMPLATE" || exit 1
if has_wine32; then make_template "$KK_WINE_TEMPLATE32" win32 || exit 1; fi
# The shared prefixes of the in-process tests (see tests/wine-run.sh), each
# with its own startup-module DDE name and instance lock, start clean on
# every run.
for prefix in unit-x64 unit-x86 unit-x86-win32; do
  rm -rf "${BUILD:?}/wine/$prefix"
  case $prefix in
    unit-x64) cp -a "$KK_WINE_TEMPLATE" "$BUILD/wine/$prefix" ;;
    unit-x86) has_wine32 && cp -a "$KK_WINE_TEMPLATE" "$BUILD/wine/$prefix" ;;
    *) has_wine32 && cp -a "$KK_WINE_TEMPLATE32" "$BUILD/wine/$prefix" ;;
  esac
done

# Both builds' entries in one run, so that -j2 and the serial rules span them.
# (Only the builds that exist: KK_ARCHS may have named one.)
dirs=""
for arch in x86 x64; do [ -f "$BUILD/$arch/CTestTestfile.cmake" ] && dirs="$dirs \"$arch\""; done
printf 'subdirs(%s)\n' "$dirs" >"$BUILD/CTestTestfile.cmake"
select=(-LE without-x86) note=""
if ! has_wine32; then
  # Said before and after the run; the x86 entries report themselves skipped.
  reason=$NO_32BIT_NOTE
  runs_32bit && reason="32-bit Wine is not installed (scripts/deps.sh installs it)."
  note="$reason The x86 entries are skipped; the x64 build runs their versions and window tests in their place."
  echo "$note"
  select=()
fi

start_xvfb || exit 1
cleanup() {
  for p in "$BUILD"/wine/*/; do WINEPREFIX=$p wineserver -k >/dev/null 2>&1; done
  kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

cd "$BUILD" && ctest --output-on-failure --timeout 600 -j2 "${select[@]}" "$@"
rc=$?
[ -n "$note" ] && echo "$note"
exit $rc
