#!/usr/bin/env bash
# make run: builds, installs the panel into a demo Wine prefix as a user
# would have it (Windows XP), and starts it: on $DISPLAY when there is one,
# otherwise on a private Xvfb, saving a screenshot.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh" >/dev/null

DEMO=$ROOT/.demo
PREFIX=$DEMO/prefix
make_template "$BUILD/wine/template"
if [ ! -f "$PREFIX/.ready" ]; then
  rm -rf "$PREFIX"; mkdir -p "$DEMO"; cp -a "$BUILD/wine/template" "$PREFIX"
  # A taskbar in the demo desktop, as on a real machine.
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1 /f
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\AppDefaults\Control Panel.exe' /v Version /d winxp /f
  touch "$PREFIX/.ready"
fi
export WINEPREFIX=$PREFIX

# The installation: the panel and the stand-ins of the suite's components.
SUITE="$PREFIX/drive_c/Program Files/Marrowby/Kestrelkit"
mkdir -p "$SUITE"
cp -f "$BUILD/x64/Control Panel.exe" "$SUITE/"
for f in "$BUILD"/x64/fixtures/*.exe "$BUILD"/x64/fixtures/*.dll "$ROOT"/fixtures/demo/*; do
  [ -e "$f" ] && cp -f "$f" "$SUITE/"
done
wine_reg "$PREFIX" add 'HKLM\SOFTWARE\Marrowby\Kestrelkit' /v InstallPath /d 'C:\Program Files\Marrowby\Kestrelkit' /f

PANEL='C:\Program Files\Marrowby\Kestrelkit\Control Panel.exe'
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the panel on $DISPLAY"
  wine "$PANEL" "$@"
  exit 0
fi

start_xvfb 1024x768
trap 'wineserver -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null' EXIT
wineserver -p >/dev/null 2>&1 || true
wine "$PANEL" "$@" >/dev/null 2>&1 &
sleep 6
SHOT=$DEMO/screenshot.png
import -window root "$SHOT"
echo "No display: the panel ran on a private Xvfb display."
echo "Screenshot: $SHOT"
