#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build (its tests include the Windows module,
# cross-built into build/debug/windows and run under Wine: windows.container), then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, then the Release build, then a
# short run of every fuzz target (clang, libFuzzer) over its seed corpus. Warnings are errors
# in every build here.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_WERROR=ON
cmake --build build/debug -j "$jobs"
ctest --test-dir build/debug --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_SANITIZE=ON \
  -DKESTRIX_BENCHMARKS=OFF -DKESTRIX_WERROR=ON
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

# The Release build a user makes with the README's commands, built with GCC and warnings as
# errors so that a warning only optimisation brings out cannot come back unseen.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRIX_WERROR=ON \
  -DKESTRIX_WINDOWS_TESTS=OFF
cmake --build build/release -j "$jobs"

# Each fuzz target for at most 2000 inputs or 15 seconds from its seeds (about a minute for
# all five); a crash or a broken rule fails, its input kept as build/fuzz/crash-*.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRIX_FUZZ=ON -DKESTRIX_BENCHMARKS=OFF -DKESTRIX_WERROR=ON
cmake --build build/fuzz --target fuzz_targets -j "$jobs"
for target in fuzz_sequence fuzz_sequence_real fuzz_load fuzz_script fuzz_textlib \
  fuzz_registry; do
  work=$(mktemp -d)
  log="build/fuzz/$target.log"
  if ! LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
    "build/fuzz/fuzz/$target" -runs=2000 -max_total_time=15 -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    rm -rf "$work"
    echo "fuzz: $target failed (input kept as build/fuzz/crash-*)"
    exit 1
  fi
  echo "fuzz: $target: $(grep -E '^Done' "$log")"
  rm -rf "$work"
done
