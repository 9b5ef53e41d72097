#!/usr/bin/env bash
# make test: installs what is missing, builds, then runs every test under
# Wine on a private Xvfb display and private prefixes inside build/.
set -uo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh" || exit 1
"$ROOT/scripts/build.sh" || exit 1

make_template "$BUILD/wine/template" || exit 1
export KK_WINE_TEMPLATE=$BUILD/wine/template
export KK_WINE_ROOT=$BUILD/wine
# The shared prefix of the in-process tests starts clean on every run.
rm -rf "$BUILD/wine/unit"; cp -a "$KK_WINE_TEMPLATE" "$BUILD/wine/unit"

start_xvfb || exit 1
cleanup() {
  for p in "$BUILD"/wine/*/; do WINEPREFIX=$p wineserver -k >/dev/null 2>&1; done
  kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

cd "$BUILD/x64" && ctest --output-on-failure --timeout 600 -j2 "$@"
