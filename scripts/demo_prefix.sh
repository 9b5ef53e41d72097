# Prepares the demo prefix in .demo/prefix (Windows XP, a desktop with a
# taskbar, a lived-in installation) and installs the built panel and the
# stand-ins into it. Sourced by run.sh and shot.sh after env.sh.
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
  wine_reg "$PREFIX" add "$FONTS" /v 'Tahoma (TrueType)' /d tahoma.ttf /f /reg:64
  wine_reg "$PREFIX" add "$FONTS" /v 'Tahoma Bold (TrueType)' /d tahomabd.ttf /f /reg:64
  # A lived-in installation: two plugins and the temp clean-up switched on.
  PLUGINS='HKLM\Software\Marrowby\Kestrelkit\Plugins'
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v Caption /d 'Keep notes on folders' /f
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v Description /d "Right-click a folder and select Folder Notes to read or write a short note that stays with the folder." /f
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v LinkCaption /d 'Open the notes list...' /f
  wine_reg "$PREFIX" add "$PLUGINS\Folder Notes" /v LinkAction /d 'foldernotes.exe' /f
  wine_reg "$PREFIX" add "$PLUGINS\Quick Hash" /v Caption /d 'Show file checksums' /f
  wine_reg "$PREFIX" add "$PLUGINS\Quick Hash" /v Description /d "Right-click a file and select Checksums to see its MD5 and SHA-1 sums, ready to copy." /f
  wine_reg "$PREFIX" add 'HKCU\SOFTWARE\Marrowby\Kestrelkit' /v ClearTemp /d 1 /f
  touch "$PREFIX/.demo-data-1"
fi
# The glyphs of standard caption buttons (close, maximise) come from Marlett.
if [ ! -f "$PREFIX/.demo-data-3" ]; then
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp -f /usr/share/wine/fonts/marlett.ttf "$PREFIX/drive_c/windows/Fonts/"
    wine_reg "$PREFIX" add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' /d marlett.ttf /f /reg:64
  fi
  touch "$PREFIX/.demo-data-3"
fi
export WINEPREFIX=$PREFIX

# The installation: the panel and the stand-ins of the suite's components.
SUITE="$PREFIX/drive_c/Program Files/Marrowby/Kestrelkit"
mkdir -p "$SUITE"
cp -f "$BUILD/x64/Control Panel.exe" "$SUITE/"
for f in "$BUILD"/x64/fixtures/*.exe "$BUILD"/x64/fixtures/*.dll "$ROOT"/fixtures/demo/*; do
  [ -e "$f" ] && cp -f "$f" "$SUITE/"
done
wine_reg "$PREFIX" add 'HKLM\SOFTWARE\Marrowby\Kestrelkit' /v InstallPath /d 'C:\Program Files\Marrowby\Kestrelkit' /f /reg:64
PANEL='C:\Program Files\Marrowby\Kestrelkit\Control Panel.exe'
