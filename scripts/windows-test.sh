#!/usr/bin/env bash
# Builds KESTRIX.OCX and the test container with mingw-w64 and runs the Windows tests under
# Wine. The native build given supplies the tools that describe the type library and the
# resources; the cross build goes into NATIVE_BUILD/windows (its third-party libraries are
# built once there and kept).
#   scripts/windows-test.sh NATIVE_BUILD_DIR
# Exit status 77 when the cross compiler or Wine is missing (CTest then skips the test).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath "${1:?usage: windows-test.sh NATIVE_BUILD_DIR}")
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-widl x86_64-w64-mingw32-windres wine Xvfb; do
  command -v "$tool" >/dev/null || { echo "windows-test: $tool is not installed"; exit 77; }
done
[ -d /usr/include/wine/wine/windows ] || { echo "windows-test: libwine-dev is not installed"; exit 77; }

build="$native/windows"
started=$SECONDS
say() { echo "windows-test: [$((SECONDS - started))s] $*"; }
# The third-party libraries first, in the open: the first time, they take minutes (the configure
# step below finds them built).
bash "$root/scripts/windows-deps.sh" "$build/deps"
say "configuring $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -DKESTRIX_HOST_TOOLS="$native/apps" -DKESTRIX_WERROR="${KESTRIX_WERROR:-OFF}" >"$native/windows-configure.log" 2>&1 ||
  { tail -n 30 "$native/windows-configure.log"; exit 1; }
say "building KESTRIX.OCX and the test container"
cmake --build "$build" -j "${KESTRIX_JOBS:-$(nproc)}"
say "running the tests under Wine"
exec "$root/tests/windows/run-under-wine.sh" "$build" "$build/output"
