// One plain HarfBuzz pass over the corpus, and over one display line: the yardsticks for the
// control's whole-text layout and for one keystroke.
#include <benchmark/benchmark.h>

#include "HarfBuzzPass.h"
#include "MixedCorpus.h"

namespace kestrix {

namespace {

void BM_HarfBuzzPass(benchmark::State& state) {
  const std::string corpus = bench::GenerateMixedCorpus();
  bench::HarfBuzzPass pass(corpus);
  int64_t glyphs = 0;
  for (auto _ : state) glyphs += pass.Run();
  benchmark::DoNotOptimize(glyphs);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.size()));
}
BENCHMARK(BM_HarfBuzzPass)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HarfBuzzLine(benchmark::State& state) {
  const std::string line = bench::FirstDisplayLine(bench::GenerateMixedCorpus());
  bench::HarfBuzzPass pass(line);
  int64_t glyphs = 0;
  for (auto _ : state) glyphs += pass.Run();
  benchmark::DoNotOptimize(glyphs);
  state.counters["bytes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_HarfBuzzLine)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace kestrix
