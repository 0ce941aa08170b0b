#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing mirex need.
# Idempotent: installs only what is missing. Runs apt as root, through sudo when needed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libwxgtk3.2-dev libpango1.0-dev libgtest-dev googletest
  clang libclang-rt-14-dev
  xvfb xauth locales
  fonts-dejavu-core fonts-dejavu-extra
  imagemagick xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo -n)
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
