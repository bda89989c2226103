#!/usr/bin/env bash
# Cross-builds the third-party libraries of the Windows module from Debian's source packages:
# FreeType, FriBidi, HarfBuzz, zlib and libpng, as static libraries for mingw-w64, and
# GoogleTest for the test container.
#   scripts/windows-deps.sh DIR
# Sources go to DIR/src, the libraries and headers to DIR/prefix. Each library is built once:
# a stamp file in DIR marks it done, so a second run returns at once.
set -euo pipefail

dir=$(realpath -m "${1:?usage: windows-deps.sh DIR}")
root=$(cd "$(dirname "$0")/.." && pwd)
triple=x86_64-w64-mingw32
prefix="$dir/prefix"
toolchain="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
jobs=${KESTRIX_JOBS:-$(nproc)}
export CC=$triple-gcc-posix CXX=$triple-g++-posix AR=$triple-ar RANLIB=$triple-ranlib
mkdir -p "$dir/src" "$prefix/include" "$prefix/lib"
trap 'echo "windows-deps: a build failed; its log is in $dir" >&2' ERR

# Progress, with the seconds since the start: fetching and building take minutes the first time.
started=$SECONDS
say() { echo "windows-deps: [$((SECONDS - started))s] $*"; }

# Unpacks Debian's source package into DIR/src once and prints its directory.
fetch() {
  local package=$1
  local found
  found=$(find "$dir/src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -n 1)
  if [ -z "$found" ]; then
    say "fetching the source package $package (apt-get source)" >&2
    (cd "$dir/src" && apt-get source -qq "$package" >/dev/null 2>&1) ||
      { echo "windows-deps: apt-get source $package failed (is a deb-src line configured?)" >&2; exit 1; }
    found=$(find "$dir/src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -n 1)
  fi
  echo "$found"
}

done_already() { [ -f "$dir/$1.built" ]; }
mark_done() { touch "$dir/$1.built"; }

cmake_build() {
  local name=$1 source=$2
  shift 2
  say "building $name (log: $dir/$name.log)"
  cmake -S "$source" -B "$dir/build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/$triple" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$dir/$name.log" 2>&1
  cmake --build "$dir/build-$name" -j "$jobs" >>"$dir/$name.log" 2>&1
  cmake --install "$dir/build-$name" >>"$dir/$name.log" 2>&1
}

if ! done_already zlib; then
  src=$(fetch zlib zlib)
  say "building zlib"
  # The library alone: its few sources need no configuration.
  mkdir -p "$dir/build-zlib"
  for c in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
    $CC -O2 -c "$src/$c.c" -o "$dir/build-zlib/$c.o"
  done
  rm -f "$prefix/lib/libz.a"
  $AR rcs "$prefix/lib/libz.a" "$dir"/build-zlib/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  mark_done zlib
fi

if ! done_already libpng; then
  src=$(fetch libpng1.6 libpng1.6)
  cmake_build libpng "$src" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
  mark_done libpng
fi

if ! done_already freetype; then
  src=$(fetch freetype freetype)
  # Our zlib, rather than the copy FreeType would build in beside it.
  cmake_build freetype "$src" -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  mark_done freetype
fi

# HarfBuzz's single file is the longest compile: it runs beside the builds that follow.
harfbuzz_pid=""
if ! done_already harfbuzz; then
  src=$(fetch harfbuzz harfbuzz)
  say "building harfbuzz in the background (log: $dir/harfbuzz.log)"
  (
    # With FreeType, for the glyph functions the text library uses.
    mkdir -p "$dir/build-harfbuzz" "$prefix/include/harfbuzz"
    $CXX -std=c++17 -O2 -DHAVE_FREETYPE -I"$prefix/include/freetype2" \
      -c "$src/src/harfbuzz.cc" -o "$dir/build-harfbuzz/harfbuzz.o" >"$dir/harfbuzz.log" 2>&1
    rm -f "$prefix/lib/libharfbuzz.a"
    $AR rcs "$prefix/lib/libharfbuzz.a" "$dir/build-harfbuzz/harfbuzz.o"
    cp "$src"/src/hb.h "$src"/src/hb-*.h "$prefix/include/harfbuzz/"
    mark_done harfbuzz
  ) &
  harfbuzz_pid=$!
fi

if ! done_already fribidi; then
  src=$(fetch fribidi fribidi)
  say "building fribidi (log: $dir/fribidi.log)"
  mkdir -p "$dir/build-fribidi"
  (cd "$dir/build-fribidi" &&
    "$src/configure" --host=$triple --prefix="$prefix" --enable-static --disable-shared \
      --disable-docs CFLAGS="-O2 -DFRIBIDI_LIB_STATIC" >"$dir/fribidi.log" 2>&1 &&
    make -C lib -j "$jobs" install >>"$dir/fribidi.log" 2>&1)
  mark_done fribidi
fi

if ! done_already googletest; then
  src=$(fetch googletest googletest)
  cmake_build googletest "$src" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
  mark_done googletest
fi

if [ -n "$harfbuzz_pid" ]; then
  say "waiting for harfbuzz"
  wait "$harfbuzz_pid"
fi
say "ready in $prefix"
