// One libFuzzer target: KESTRIX_FUZZ_TARGET names the harness run on each input. A broken rule
// aborts with its description, so that libFuzzer keeps the input as a crash.
#include <cstdio>
#include <cstdlib>

#include "Harness.h"

using namespace kestrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzzing::RunFunction run = fuzzing::RunnerOf(KESTRIX_FUZZ_TARGET);
  std::string broken = run(data, size);
  if (!broken.empty()) {
    std::fprintf(stderr, "%s: %s\n", KESTRIX_FUZZ_TARGET, broken.c_str());
    std::abort();
  }
  return 0;
}
