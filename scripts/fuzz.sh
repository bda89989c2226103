#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them, or all of them in turn, for a while:
#   scripts/fuzz.sh TARGET [SECONDS]     (fuzz_sequence, fuzz_sequence_real, fuzz_load,
#                                         fuzz_script, fuzz_textlib,
#                                         fuzz_registry, or all; 600 seconds each
#                                         unless given)
# The corpus grows in build/fuzz/corpus/TARGET, seeded from fuzz/corpus/TARGET; an input that
# breaks a rule or crashes is saved as build/fuzz/artifacts/TARGET/crash-*. Replay one with
#   build/fuzz/fuzz/TARGET FILE
# and, once fixed, add it to tests/regressions/TARGET/ so the ordinary tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS]}"
seconds="${2:-600}"
if [ "$target" = all ]; then
  for each in fuzz_sequence fuzz_sequence_real fuzz_load fuzz_script fuzz_textlib fuzz_registry; do
    bash "$0" "$each" "$seconds"
  done
  exit 0
fi
bash scripts/setup.sh

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRIX_FUZZ=ON -DKESTRIX_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz --target "$target" -j "$(nproc)"

mkdir -p "build/fuzz/corpus/$target" "build/fuzz/artifacts/$target"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1
exec "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="build/fuzz/artifacts/$target/" "build/fuzz/corpus/$target" "fuzz/corpus/$target"
