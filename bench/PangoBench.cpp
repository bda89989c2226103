// The corpus laid out by Pango, the yardstick for the control's whole-text layout.
#include <benchmark/benchmark.h>

#include "MixedCorpus.h"
#include "PangoLayoutPass.h"

namespace kestrix {

namespace {

void BM_PangoLayout(benchmark::State& state) {
  bench::PangoLayoutPass pango(bench::GenerateMixedCorpus());
  int64_t lines = 0;
  for (auto _ : state) lines += pango.Run();
  state.counters["lines"] = benchmark::Counter(static_cast<double>(lines) / static_cast<double>(state.iterations()));
  state.SetLabel(pango.Families());
}
BENCHMARK(BM_PangoLayout)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

}  // namespace kestrix
