#!/usr/bin/env bash
# Sets up, builds and runs the kestrix command; arguments go to it, and relative paths in
# them are taken from the directory it is run in.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
bash "$repo/scripts/setup.sh"
cmake -S "$repo" -B "$repo/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$repo/build/release" --target kestrix -j "$(nproc)" >/dev/null
exec "$repo/build/release/apps/kestrix" "$@"
