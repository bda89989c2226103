#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Kestrix need.
# Only missing packages are installed; safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libpango1.0-dev  # the side-by-side benchmarks only
  libfreetype-dev libharfbuzz-dev libfribidi-dev libfontconfig-dev libpng-dev libx11-dev
  fontconfig fonts-noto-core fonts-liberation2 fonts-dejavu-core
  xvfb xdotool xclip x11-xkb-utils xkb-data libxtst-dev  # the editor window and its tests
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
