# Shared settings for running the panel and its tests under Wine.
# Sourced by the other scripts; ROOT is the work tree.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD=${BUILD:-$ROOT/build}
export WINEDEBUG=${WINEDEBUG:--all}
# Mono and Gecko cannot be downloaded here; shell links must not write
# desktop entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# 64-bit programs start with the 64-bit loader, named: once wine32 is
# installed plain "wine" is the 32-bit loader, which a kernel without 32-bit
# support cannot start at all ("Exec format error").
export WINE64=/usr/lib/wine/wine64
export WINELOADER=$WINE64

# wine_reg PREFIX ARGS...: "wine reg" inside a prefix, quietly. Machine-wide
# keys name their view: with 32-bit Wine installed a plain "wine reg" is the
# 32-bit one and writes HKLM\Software into Wow6432Node, where the 64-bit
# panel never looks. /reg:64 is the view of the 64-bit build.
wine_reg() { local p=$1; shift; WINEPREFIX=$p "$WINE64" reg "$@" >/dev/null 2>&1; }

# make_template DIR: a booted prefix whose programs run inside a virtual
# desktop (so focus and activation behave as on Windows), Windows XP.
make_template() {
  local dir=$1
  [ -f "$dir/.ready-2" ] && return 0
  rm -rf "$dir"; mkdir -p "$(dirname "$dir")"
  WINEPREFIX=$dir DISPLAY= "$WINE64" wineboot -i >/dev/null 2>&1
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  wine_reg "$dir" add 'HKCU\Software\Wine' /v Version /d winxp /f
  # A crashing test program ends at once instead of waiting in the debugger.
  for view in 64 32; do
    wine_reg "$dir" delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f /reg:$view
  done
  WINEPREFIX=$dir wineserver -w
  touch "$dir/.ready-2"
}

# start_xvfb [WxH]: a private display; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local size=${1:-1280x1024} n=90
  while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
  Xvfb :$n -screen 0 ${size}x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2; return 1
}
