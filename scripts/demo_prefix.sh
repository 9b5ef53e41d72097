# Prepares the demo prefix of DEMO_ARCH (a desktop with a taskbar, a
# lived-in installation, Windows XP) and installs that build's panel and
# stand-ins into it: x86, the default, on 32-bit Windows as its users have
# it (.demo/prefix-x86), or x64 on 64-bit Windows (.demo/prefix). Where
# 32-bit programs cannot run it says so and takes the x64 one (DEMO_NOTE).
# Sourced by run.sh and shot.sh after env.sh.
DEMO=$ROOT/.demo
DEMO_ARCH=${DEMO_ARCH:-x86} DEMO_NOTE=""
if [ "$DEMO_ARCH" = x86 ] && ! has_wine32; then
  # Said here and again when the demo ends, never quietly.
  DEMO_NOTE="$NO_32BIT_NOTE Showing the 64-bit panel instead."
  echo "$DEMO_NOTE" >&2
  DEMO_ARCH=x64
fi
if [ "$DEMO_ARCH" = x86 ]; then
  PREFIX=$DEMO/prefix-x86 TEMPLATE=$BUILD/wine/template-win32
  make_template "$TEMPLATE" win32
else
  PREFIX=$DEMO/prefix TEMPLATE=$BUILD/wine/template
  make_template "$TEMPLATE"
fi
if [ ! -f "$PREFIX/.ready" ] || ! fits_wine "$PREFIX"; then
  rm -rf "$PREFIX"; mkdir -p "$DEMO"; cp -a "$TEMPLATE" "$PREFIX"
  # A taskbar in the demo desktop, as on a real machine.
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1 /f
  wine_reg "$PREFIX" add 'HKCU\Software\Wine\AppDefaults\Control Panel.exe' /v Version /d winxp /f
  touch "$PREFIX/.ready"
fi
# The registry view of the panel shown: machine-wide keys need it, and the
# per-user writes of run.sh and shot.sh name it too.
VIEW=$(reg_view "$DEMO_ARCH")
# A true-colour display reports its depth here, as Windows does; Wine
# leaves the value out, which would give the low-colour focus marker.
if [ ! -f "$PREFIX/.demo-data-2" ]; then
  wine_reg "$PREFIX" add 'HKCC\Display\Settings' /v BitsPerPixel /d 32 /f
  touch "$PREFIX/.demo-data-2"
fi
# The demo's own data, added once (also to a prefix made by an older run).
if [ ! -f "$PREFIX/.demo-data-1" ]; then
  # Windows XP's own interface font. Wine ships a Tahoma but a new prefix
  # here maps it to Liberation Sans, whose drawn text runs wider than Wine
  # measures it, so word-wrapped labels would lose their last word.
  for f in tahoma tahomabd; do
    [ -f "/usr/share/wine/fonts/$f.ttf" ] && cp -f "/usr/share/wine/fonts/$f.ttf" "$PREFIX/drive_c/windows/Fonts/"
  done
  FONTS='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
  wine_reg "$PREFIX" add "$FONTS" /v 'Tahoma (TrueType)' /d tahoma.ttf /f $VIEW
  wine_reg "$PREFIX" add "$FONTS" /v 'Tahoma Bold (TrueType)' /d tahomabd.ttf /f $VIEW
  # A lived-in installation: two plugins and the temp clean-up switched on.
  PLUGINS='HKLM\Software\Marrowby\Kestrelkit\Plugins'
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v Caption /d 'Keep notes on folders' /f $VIEW
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v Description /d "Right-click a folder and select Folder Notes to read or write a short note that stays with the folder." /f $VIEW
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v LinkCaption /d 'Open the notes list...' /f $VIEW
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v LinkAction /d 'foldernotes.exe' /f $VIEW
  wine_reg "$PREFIX" add "$PLUGINS\Quick Hash" /v Caption /d 'Show file checksums' /f $VIEW
  wine_reg "$PREFIX" add "$PLUGINS\Quick Hash" /v Description /d "Right-click a file and select Checksums to see its MD5 and SHA-1 sums, ready to copy." /f $VIEW
  wine_reg "$PREFIX" add 'HKCU\SOFTWARE\Marrowby\Kestrelkit' /v ClearTemp /d 1 /f
  touch "$PREFIX/.demo-data-1"
fi
# The glyphs of standard caption buttons (close, maximise) come from Marlett.
if [ ! -f "$PREFIX/.demo-data-3" ]; then
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp -f /usr/share/wine/fonts/marlett.ttf "$PREFIX/drive_c/windows/Fonts/"
    wine_reg "$PREFIX" add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' /d marlett.ttf /f $VIEW
  fi
  touch "$PREFIX/.demo-data-3"
fi
use_prefix "$PREFIX"

# The installation: the panel, the console program and the stand-ins of the suite's components,
# of the one build shown, and InstallPath in that panel's view.
SUITE="$PREFIX/drive_c/Program Files/Marrowby/Kestrelkit"
mkdir -p "$SUITE"
cp -f "$BUILD/$DEMO_ARCH/Control Panel.exe" "$BUILD/$DEMO_ARCH/kkctl.exe" "$SUITE/"
for f in "$BUILD/$DEMO_ARCH"/fixtures/*.exe "$BUILD/$DEMO_ARCH"/fixtures/*.dll "$ROOT"/fixtures/demo/*; do
  [ -e "$f" ] && cp -f "$f" "$SUITE/"
done
wine_reg "$PREFIX" add 'HKLM\SOFTWARE\Marrowby\Kestrelkit' /v InstallPath /d 'C:\Program Files\Marrowby\Kestrelkit' /f $VIEW
PANEL='C:\Program Files\Marrowby\Kestrelkit\Control Panel.exe'
