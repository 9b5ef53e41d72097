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
# The 32-bit loader, for prefixes that are 32-bit Windows.
export WINE32=/usr/lib/wine/wine

# use_prefix PREFIX: exports WINEPREFIX, and in WINE the loader that fits
# the prefix (also as WINELOADER, which Wine starts child programs with).
# A prefix made by "make_template DIR win32" is 32-bit Windows, marked
# .win32, and takes the 32-bit loader; any other is 64-bit Windows and
# takes the 64-bit loader, which hands 32-bit programs on to the 32-bit one.
use_prefix() {
  export WINEPREFIX=$1
  if [ -f "$1/.win32" ]; then export WINEARCH=win32 WINE=$WINE32; else export WINEARCH=win64 WINE=$WINE64; fi
  export WINELOADER=$WINE
}

# wine_reg PREFIX ARGS...: "wine reg" inside a prefix, quietly.
# Every machine-wide key names the view of the panel it serves: /reg:32 for
# the 32-bit panel, /reg:64 for the 64-bit one (reg_view gives it). Measured
# on Wine 8: HKLM\Software and all of HKEY_CLASSES_ROOT (CLSID and the
# shellex handler keys too) are kept apart per view, /reg:32 landing in
# Wow6432Node; HKCU\Software is one key for both.
wine_reg() { local p=$1; shift; (use_prefix "$p"; "$WINE" reg "$@") >/dev/null 2>&1; }

# reg_view ARCH: the reg.exe switch for the registry view of the x86 or x64 panel.
reg_view() { [ "$1" = x86 ] && echo /reg:32 || echo /reg:64; }

# runs_32bit: whether this machine runs 32-bit programs at all. Some kernels
# leave out IA-32 support (execve of an i386 program fails with "Exec
# format error"): there the 32-bit Wine loader cannot start, and with wine32
# installed no Wine command works. Asks by running a 93-byte i386 program
# that only exits.
runs_32bit() {
  if [ -z "${KK_RUNS_32BIT:-}" ]; then
    local probe; probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' >"$probe"
    printf '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0' >>"$probe"
    printf '\x31\xdb\xb8\x01\0\0\0\xcd\x80' >>"$probe"  # xor ebx,ebx; mov eax,1 (exit); int 0x80
    chmod +x "$probe"
    KK_RUNS_32BIT=no; "$probe" 2>/dev/null && KK_RUNS_32BIT=yes
    rm -f "$probe"; export KK_RUNS_32BIT
  fi
  [ "$KK_RUNS_32BIT" = yes ]
}
NO_32BIT_NOTE="This machine cannot run 32-bit programs (its kernel has no IA-32 support), so the 32-bit panel cannot run here."

# has_wine32: 32-bit Wine is installed and can run here.
has_wine32() { runs_32bit && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; }

# fits_wine PREFIX: the prefix was made with the Wine installed now. A
# 64-bit one made with 32-bit Wine has the 32-bit system folder (syswow64)
# that 32-bit programs need; one made without it is made again once wine32
# came. A 32-bit one needs wine32.
fits_wine() {
  if [ -f "$1/.win32" ]; then has_wine32; return; fi
  local wow64=no; [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ] && wow64=yes
  [ $wow64 = "$(has_wine32 && echo yes || echo no)" ]
}

# make_template DIR [win32]: a booted prefix whose programs run inside a
# virtual desktop (so focus and activation behave as on Windows), Windows
# XP. 64-bit Windows (with 32-bit Wine a WoW64 prefix, where both builds
# run), or with win32 32-bit Windows, as the 32-bit panel's users have it.
make_template() {
  local dir=$1 system=${2:-win64}
  [ -f "$dir/.ready-3" ] && fits_wine "$dir" && return 0
  rm -rf "$dir"; mkdir -p "$dir"
  [ "$system" = win32 ] && touch "$dir/.win32"
  (use_prefix "$dir"; DISPLAY= "$WINE" wineboot -i) >/dev/null 2>&1
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine_reg "$dir" add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  wine_reg "$dir" add 'HKCU\Software\Wine' /v Version /d winxp /f
  # A crashing test program ends at once instead of waiting in the debugger
  # (a view without 32-bit Wine has no debugger to remove).
  for view in /reg:64 /reg:32; do
    wine_reg "$dir" delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f $view || true
  done
  WINEPREFIX=$dir wineserver -w
  touch "$dir/.ready-3"
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
