// The control side by side with its yardsticks, interleaved round by round so that a machine
// whose load changes during the run weighs on both alike: the whole-text layout of the corpus
// against Pango's and one plain HarfBuzz pass, and typing a character against one plain
// HarfBuzz shaping of the line it is typed into. The ratios are the counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "HarfBuzzPass.h"
#include "MixedCorpus.h"
#include "PangoLayoutPass.h"
#include "PlacedControl.h"
#include "arabtext/ArabTextLibrary.h"
#include "control/KestrixCtrl.h"
#include "layout/RealTextLibrary.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

using bench::Seconds;
using Control = bench::PlacedControl;

void BM_SideBySideTextWrite(benchmark::State& state) {
  const std::string corpus = bench::GenerateMixedCorpus();
  Control c;
  c.ctrl.m_KeepUnchangedLines = false;  // the whole text is laid out every round
  bench::PangoLayoutPass pango(corpus);
  bench::HarfBuzzPass harfbuzz(corpus);
  // One round first, so that every measured round finds the fonts loaded and the caches as
  // warm as a second layout finds them.
  c.ctrl.SetText(corpus);
  pango.Run();
  harfbuzz.Run();
  double ours = 0, theirs = 0, plain = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { c.ctrl.SetText(corpus); });
    ours += t;
    state.SetIterationTime(t);
    theirs += Seconds([&] { benchmark::DoNotOptimize(pango.Run()); });
    plain += Seconds([&] { benchmark::DoNotOptimize(harfbuzz.Run()); });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pango_ms"] = 1000 * theirs / n;
  state.counters["harfbuzz_ms"] = 1000 * plain / n;
  state.counters["to_pango"] = ours / theirs;
  state.counters["to_harfbuzz"] = ours / plain;
}
BENCHMARK(BM_SideBySideTextWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The same from cold, as a fresh process opening a document meets it: each round a control on a
// text library of its own, its fonts loaded and every cache empty, against a Pango font map and
// layout made afresh. What each side makes is timed with the layout.
struct ColdControl {
  Display display{700, 500};
  CWnd container;
  arabtext::ArabTextLibrary library;
  RealTextLibrary shipped{library};
  CKestrixCtrl ctrl{shipped};
  ColdControl() {
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 700, 500), nullptr);
    ctrl.ResetProperties();
    ctrl.CreateControlWindow(&container, CRect(20, 20, 640, 424));  // a 600-pixel text area
  }
};

void BM_SideBySideTextWriteCold(benchmark::State& state) {
  const std::string corpus = bench::GenerateMixedCorpus();
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      ColdControl c;
      c.ctrl.SetText(corpus);
    });
    ours += t;
    state.SetIterationTime(t);
    theirs += Seconds([&] {
      bench::PangoLayoutPass pango(corpus);
      benchmark::DoNotOptimize(pango.Run());
    });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pango_ms"] = 1000 * theirs / n;
  state.counters["to_pango"] = ours / theirs;
}
BENCHMARK(BM_SideBySideTextWriteCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing as the keyboard path does (insert, store, paint the line, place the caret) at the
// start of a full display line in view; the character is taken back untimed.
void BM_SideBySideTyping(benchmark::State& state) {
  Control c;
  CKestrixCtrl& k = c.ctrl;
  k.SetText(bench::GenerateMixedCorpus());
  int line = static_cast<int>(state.range(0));
  k.SetFirstVisible(line - 2);
  k.GotoLine(line);
  bench::HarfBuzzPass harfbuzz(k.m_LineText);
  double ours = 0, plain = 0;
  for (auto _ : state) {
    k.m_CharIndex = 0;
    const double t = Seconds([&] {
      k.AcquireDC();
      k.InsertChar('x');
      k.StoreLine();
      k.PaintCurrentLine();
      k.UpdateCaret();
      k.ReleaseHeldDC();
    });
    ours += t;
    state.SetIterationTime(t);
    plain += Seconds([&] { benchmark::DoNotOptimize(harfbuzz.Run()); });
    k.m_LineText.erase(0, 1);
    k.m_LineLength--;
    k.m_CharCount--;
    k.StoreLine();
  }
  state.counters["harfbuzz_us"] = 1e6 * plain / static_cast<double>(state.iterations());
  state.counters["to_harfbuzz_line"] = ours / plain;
  state.counters["line_bytes"] = static_cast<double>(k.m_LineText.size());
}
BENCHMARK(BM_SideBySideTyping)->Arg(10)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

}  // namespace kestrix
