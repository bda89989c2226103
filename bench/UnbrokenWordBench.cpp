// One paragraph that is a single word, with no place to break it: Arabic letters or Latin ones,
// 64 KB to 1 MB. Laying it out must grow with its length as one plain HarfBuzz pass over the
// same text does (to_harfbuzz stays level as the word grows), and a letter typed into its middle
// must cost what a letter typed into a short line costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "HarfBuzzPass.h"
#include "PlacedControl.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

using bench::Seconds;

// Laid out whole every time: a word's layout is what is measured.
struct Control : bench::PlacedControl {
  explicit Control(bool wordWrap = true) : PlacedControl(wordWrap) { ctrl.m_KeepUnchangedLines = false; }
};

// Argument: 0 Arabic letters (joining and not), 1 Latin letters; 2 and 3 the same shown
// without wrapping.
std::string UnbrokenWord(int64_t kind, size_t bytes) {
  kind %= 2;
  const std::string arabic = "\xC8\xE3\xD3\xE1\xC7\xDA\xED\xE5\xCF\xD1\xE4\xDD\xE6\xC9";
  const std::string latin = "kestrelwingsAVToffi";
  const std::string& letters = kind == 0 ? arabic : latin;
  std::string word;
  uint32_t seed = 11;
  while (word.size() < bytes) {
    seed = seed * 1664525u + 1013904223u;
    word += letters[(seed >> 16) % letters.size()];
  }
  return word;
}

const char* Label(int64_t kind) {
  const char* labels[] = {"Arabic, wrapped", "Latin, wrapped", "Arabic, not wrapped", "Latin, not wrapped"};
  return labels[kind];
}

void BM_UnbrokenWordLayout(benchmark::State& state) {
  const std::string word = UnbrokenWord(state.range(0), static_cast<size_t>(state.range(1)) << 10);
  bench::HarfBuzzPass harfbuzz(word);
  harfbuzz.Run();
  double ours = 0, plain = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<Control>(state.range(0) < 2);
    state.ResumeTiming();
    const double t = Seconds([&] { c->ctrl.SetText(word); });
    ours += t;
    state.SetIterationTime(t);
    state.PauseTiming();
    c.reset();
    state.ResumeTiming();
    plain += Seconds([&] { benchmark::DoNotOptimize(harfbuzz.Run()); });
  }
  state.counters["harfbuzz_ms"] = 1000 * plain / static_cast<double>(state.iterations());
  state.counters["to_harfbuzz"] = ours / plain;
  state.SetLabel(Label(state.range(0)));
}
BENCHMARK(BM_UnbrokenWordLayout)
    ->ArgsProduct({{0, 1, 2, 3}, {64, 256, 1024}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// A letter typed into the middle of the word through the keyboard path, against the same
// letter typed into a short line of the same letters (to_short_line).
void BM_TypeIntoUnbrokenWord(benchmark::State& state) {
  const std::string word = UnbrokenWord(state.range(0), static_cast<size_t>(state.range(1)) << 10);
  const std::string shortLine = word.substr(0, 40);
  Control longOne(state.range(0) < 2), shortOne(state.range(0) < 2);
  longOne.ctrl.SetText(word);
  shortOne.ctrl.SetText(shortLine);
  longOne.ctrl.m_CharIndex = longOne.ctrl.IndexFromOffset(static_cast<int>(word.size() / 2));
  shortOne.ctrl.m_CharIndex = 20;
  const char letter = word[7];
  // The first letter after a load measures the line afresh: typed untimed.
  longOne.ctrl.SendMessage(WM_CHAR, static_cast<uint8_t>(letter), 1);
  shortOne.ctrl.SendMessage(WM_CHAR, static_cast<uint8_t>(letter), 1);
  double ours = 0, reference = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { longOne.ctrl.SendMessage(WM_CHAR, static_cast<uint8_t>(letter), 1); });
    ours += t;
    state.SetIterationTime(t);
    reference += Seconds([&] { shortOne.ctrl.SendMessage(WM_CHAR, static_cast<uint8_t>(letter), 1); });
  }
  state.counters["short_line_us"] = 1e6 * reference / static_cast<double>(state.iterations());
  state.counters["to_short_line"] = ours / reference;
  state.SetLabel(Label(state.range(0)));
}
BENCHMARK(BM_TypeIntoUnbrokenWord)
    ->ArgsProduct({{0, 1, 2, 3}, {256, 4096}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(50);

}  // namespace

}  // namespace kestrix
