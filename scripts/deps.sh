#!/usr/bin/env bash
# Installs what building and testing need, once; later runs find it all and do nothing.
set -euo pipefail
source "$(dirname "$0")/env.sh"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

need=()
for pkg in wine wine64 fonts-wine g++-mingw-w64-x86-64 g++-mingw-w64-i686 cmake make xvfb imagemagick x11-utils googletest python3; do
  installed "$pkg" || need+=("$pkg")
done
# The 32-bit panel runs under 32-bit Wine, from Debian's i386 architecture.
# Where the kernel cannot run 32-bit programs it is left out: it could not
# run, and plain "wine" would become its loader.
added_i386=no
if runs_32bit; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    added_i386=yes
  fi
  installed wine32:i386 || need+=(wine32:i386)
elif installed wine32:i386; then
  echo "$NO_32BIT_NOTE wine32 is installed but cannot start; the scripts use the 64-bit loader by name." >&2
fi
if [ ${#need[@]} -gt 0 ] || [ $added_i386 = yes ]; then
  echo "Installing: ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
