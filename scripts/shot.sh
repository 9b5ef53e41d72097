#!/usr/bin/env bash
# Screenshot of one settings page in the demo installation:
#   scripts/shot.sh WINVER TOOLID [CONTROLID]
# starts the panel under that Windows version (XP and Vista with their
# visual style; KK_LOOK=classic for the classic one), opens the page of
# TOOLID as a user would, presses the page's button CONTROLID if one is
# given (a Browse button, say), and saves .demo/page-WINVER-TOOLID.png.
# A negative CONTROLID steps the page's tabs that often with Ctrl+Tab
# (999 -2: the About page's Plugins tab); TOOLID 0 with "max" or "grow"
# shows the main window maximised or enlarged instead of a page, and
# "history" or "preview" opens that dialog from the system menu.
# The 32-bit panel; KK_DEMO_ARCH=x64 shows the 64-bit one.
set -euo pipefail
source "$(dirname "$0")/env.sh"
winver=${1:?Windows version, e.g. winxp}; tool=${2:?ToolId}; control=${3:-}; look=${KK_LOOK:-themed}
DEMO_ARCH=${KK_DEMO_ARCH:-x86}
[ -f "$BUILD/$DEMO_ARCH/Control Panel.exe" ] || "$ROOT/scripts/build.sh" >/dev/null
source "$(dirname "$0")/demo_prefix.sh"
# The opener, of the panel's build, comes from this script's own tree, so
# another work tree's panel (ROOT=...) can be shown with it.
OPENER=$(cd "$(dirname "$0")/.." && pwd)/build/$DEMO_ARCH/fixtures/openpage.exe
APP='HKCU\Software\Wine\AppDefaults\Control Panel.exe'
THEME='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
wine_reg "$PREFIX" add "$APP" /v Version /d "$winver" /f $VIEW
if [ "$look" = classic ]; then wine_reg "$PREFIX" delete "$THEME" /v ThemeActive /f $VIEW
else wine_reg "$PREFIX" add "$THEME" /v ThemeActive /d 1 /f $VIEW; fi
start_xvfb 1024x768
trap 'wineserver -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null; wine_reg "$PREFIX" add "$APP" /v Version /d winxp /f $VIEW; wine_reg "$PREFIX" delete "$THEME" /v ThemeActive /f $VIEW' EXIT
wineserver -p >/dev/null 2>&1 || true
"$WINE" "$PANEL" >/dev/null 2>&1 &
sleep 5
"$WINE" "$OPENER" "$tool" $control >/dev/null 2>&1 || echo "the page did not open" >&2
sleep 3
SHOT=$DEMO/page-$winver-$tool${control:+-$control}.png
import -window root "$SHOT"
echo "$SHOT"
