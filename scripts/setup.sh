#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Kestrix need.
# Only missing packages are installed; safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libpango1.0-dev  # the side-by-side benchmarks only
  mousepad  # the window benchmark only: the GTK editor whose opening time it compares with
  libfreetype-dev libharfbuzz-dev libfribidi-dev libfontconfig-dev libpng-dev libx11-dev
  fontconfig fonts-noto-core fonts-liberation2 fonts-dejavu-core
  xvfb xdotool xclip x11-xkb-utils xkb-data libxtst-dev  # the editor window and its tests
  # Screen readers: ATK and its AT-SPI bridge for the editor window, the bus, and the client
  # its test reads with.
  libatk1.0-dev libatk-bridge2.0-dev at-spi2-core dbus-daemon python3-pyatspi
  clang libclang-rt-dev
  unicode-data  # the Unicode Character Database, checked against the code page conversion
  # The Windows module and its tests: the cross compiler, the IDL compiler and the platform's
  # IDL files, Wine to run them, and dpkg-dev to unpack the third-party source packages.
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine wine64 dpkg-dev
)

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

# The Windows build unpacks Debian's source packages of its third-party libraries: a deb-src
# entry for the Debian archive the machine already uses.
need_update=0
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  uri=$(grep -hsE '^URIs:' /etc/apt/sources.list.d/debian.sources | head -n 1 | awk '{print $2}')
  suite=$(grep -hsE '^Suites:' /etc/apt/sources.list.d/debian.sources | head -n 1 | awk '{print $2}')
  if [ -z "$uri" ]; then
    read -r uri suite < <(grep -hsE '^deb ' /etc/apt/sources.list | head -n 1 | sed -E 's/^deb (\[[^]]*\] )?//' | awk '{print $1, $2}') || true
  fi
  if [ -n "$uri" ] && [ -n "$suite" ]; then
    echo "setup: adding a deb-src entry for $uri $suite"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$uri" "$suite" | "${as_root[@]}" tee /etc/apt/sources.list.d/kestrix-deb-src.sources >/dev/null
    need_update=1
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -eq 0 ]; then
  if [ "$need_update" -eq 1 ]; then "${as_root[@]}" apt-get update -qq; fi
  exit 0
fi

echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
