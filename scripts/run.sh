#!/usr/bin/env bash
# Sets up, builds and runs the kestrix command; arguments go to it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target kestrix -j "$(nproc)"
exec build/release/apps/kestrix "$@"
