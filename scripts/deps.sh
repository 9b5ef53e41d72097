#!/usr/bin/env bash
# Installs what building and testing need, once; later runs find it all and do nothing.
set -euo pipefail
need=()
for pkg in wine wine64 fonts-wine g++-mingw-w64-x86-64 g++-mingw-w64-i686 cmake make xvfb imagemagick x11-utils googletest python3; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
