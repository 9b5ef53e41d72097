#!/usr/bin/env bash
# make run: builds, installs the 32-bit panel into a demo Wine prefix as a
# user of Windows XP has it, and starts it: on $DISPLAY when there is one,
# otherwise on a private Xvfb, saving a screenshot.
#   scripts/run.sh [--x64] [ARGUMENTS...]
# --x64 shows the 64-bit panel instead; the arguments go to the panel.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh" >/dev/null

DEMO_ARCH=x86
if [ "${1:-}" = --x64 ]; then DEMO_ARCH=x64; shift; fi
source "$ROOT/scripts/demo_prefix.sh"
SHOT=$DEMO/screenshot.png
[ $DEMO_ARCH = x86 ] || SHOT=$DEMO/screenshot-x64.png
# KK_SHOT_SIZE=900x700 opens the window at that size, in the middle of the
# desktop above the taskbar, and names the screenshot after the size; the
# demo forgets that placement again afterwards.
if [ -n "${KK_SHOT_SIZE:-}" ]; then
  w=${KK_SHOT_SIZE%x*} h=${KK_SHOT_SIZE#*x}
  KEY='HKCU\SOFTWARE\Marrowby\Kestrelkit'
  while read -r name pixels; do
    wine_reg "$PREFIX" add "$KEY" /v "$name" /d $(( pixels * 15 )) /f $VIEW
  done <<<"CPLeft $(( (1024 - w) / 2 ))
CPTop $(( (740 - h) / 2 ))
CPWidth $w
CPHeight $h"
  wine_reg "$PREFIX" add "$KEY" /v MaxWindow /d 0 /f $VIEW
  SHOT=${SHOT%.png}-$KK_SHOT_SIZE.png
fi
# The suite's update server, stood in for on this machine: the update checks
# (the About page's, /updatecheck) are offered a newer version, and its
# download page is served too. Stopped with the demo.
start_update_server() {
  local folder="$PREFIX/drive_c/kk-updates"
  mkdir -p "$folder"; rm -f "$folder/port" "$folder/requests.log"
  printf '200\n%s\n' "${KK_DEMO_NEWER:-4.3.0}" >"$folder/reply"
  "$WINE" "$SUITE/kkupdatesrv.exe" 'C:\kk-updates' >/dev/null 2>&1 &
  UPDATE_SERVER_PID=$!
  for _ in $(seq 100); do [ -s "$folder/port" ] && break; sleep 0.1; done
  if [ -s "$folder/port" ]; then
    export KESTRELKIT_UPDATE_SERVER="http://127.0.0.1:$(cat "$folder/port")/"
  else
    echo "The stand-in update server did not start: update checks will find no server." >&2
  fi
}
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the $DEMO_ARCH panel on $DISPLAY"
  start_update_server
  trap 'kill $UPDATE_SERVER_PID 2>/dev/null' EXIT
  "$WINE" "$PANEL" "$@"
  exit 0
fi

start_xvfb 1024x768
trap 'wineserver -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null' EXIT
wineserver -p >/dev/null 2>&1 || true
start_update_server
"$WINE" "$PANEL" "$@" >/dev/null 2>&1 &
sleep 6
import -window root "$SHOT"
if [ -n "${KK_SHOT_SIZE:-}" ]; then
  for name in CPLeft CPTop CPWidth CPHeight MaxWindow; do
    wine_reg "$PREFIX" delete 'HKCU\SOFTWARE\Marrowby\Kestrelkit' /v "$name" /f $VIEW
  done
fi
echo "No display: the $DEMO_ARCH panel ran on a private Xvfb display."
echo "Screenshot: $SHOT"
[ -z "$DEMO_NOTE" ] || echo "$DEMO_NOTE" >&2
