#!/bin/bash
# Installs the build into a fresh prefix, registers the installed module in a fresh registry,
# builds the host example against the installed library with pkg-config alone (and once with
# the CMake package), and runs it: the whole path a host author takes.
#   InstallTest.sh BUILD_DIR SOURCE_DIR [EXTRA_COMPILER_FLAGS]
set -euo pipefail
build=$1
source=$2
extra=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
export KESTRIX_REGISTRY="$work/registry"
libdir=$(pkg-config --variable=libdir kestrix)

"$work/prefix/bin/kestrix-register" "$(pkg-config --variable=module kestrix)"

# Every public header sits under kestrix/ and compiles beside Xlib, before it and after it.
test "$(ls "$work/prefix/include")" = kestrix
headers=$(cd "$work/prefix/include" && find kestrix -name '*.h' | sort)
xlib='#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/Xatom.h>'
ours=$(for h in $headers; do echo "#include <$h>"; done)
printf '%s\n%s\n' "$xlib" "$ours" > "$work/xlib-first.cpp"
printf '%s\n%s\n' "$ours" "$xlib" > "$work/xlib-last.cpp"
for tu in xlib-first xlib-last; do
  # shellcheck disable=SC2046,SC2086
  c++ -std=c++20 $extra -fsyntax-only "$work/$tu.cpp" $(pkg-config --cflags kestrix)
done

# shellcheck disable=SC2046,SC2086
c++ -std=c++20 $extra "$source/examples/host/host.cpp" $(pkg-config --cflags --libs kestrix) \
    -Wl,-rpath,"$libdir" -o "$work/host"
"$work/host" "$work/host.png" | tee "$work/out.txt"
grep -qx 'Text = Hello, مرحبا!' "$work/out.txt"
test -s "$work/host.png"

cmake -S "$source/examples/host" -B "$work/cmake-build" -G Ninja \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_CXX_FLAGS="$extra" \
      -DCMAKE_BUILD_RPATH="$libdir" > "$work/cmake.log"
cmake --build "$work/cmake-build" > "$work/cmake-build.log"
"$work/cmake-build/host" | grep -qx 'Text = Hello, مرحبا!'

"$work/prefix/bin/kestrix-register" -u "$(pkg-config --variable=module kestrix)"
test "$(cat "$KESTRIX_REGISTRY")" = "KESTRIX REGISTRY 1"
echo "installed, registered, built with pkg-config and with the CMake package, ran"
