// What a screen reader costs the control: the model's comparison after each turn of input on
// the 1 MB corpus, when nothing changed (every bus call comes to this) and after one typed
// character (an insertion to find and tell).
#include <benchmark/benchmark.h>

#include "MixedCorpus.h"
#include "PlacedControl.h"
#include "access/AccessibleText.h"

namespace kestrix {

namespace {

class Silent : public AccessibleListener {
 public:
  void TextInserted(long, const std::u16string& text) override { told += text.size(); }
  void TextDeleted(long, const std::u16string& text) override { told += text.size(); }
  void CaretMoved(long) override {}
  void SelectionChanged() override {}
  void FocusChanged(bool) override {}
  size_t told = 0;
};

struct ReadControl {
  bench::PlacedControl placed;
  AccessibleText model{placed.ctrl};
  Silent listener;
  ReadControl() {
    placed.ctrl.SetText(bench::GenerateMixedCorpus());
    model.SetListener(&listener);
  }
};

ReadControl& Shared() {
  static ReadControl* read = new ReadControl;
  return *read;
}

void BM_AccessibleUpdateUnchanged(benchmark::State& state) {
  ReadControl& r = Shared();
  for (auto _ : state) r.model.Update();
}
BENCHMARK(BM_AccessibleUpdateUnchanged)->Unit(benchmark::kMillisecond);

void BM_AccessibleUpdateAfterTyping(benchmark::State& state) {
  ReadControl& r = Shared();
  CKestrixCtrl& k = r.placed.ctrl;
  for (auto _ : state) {
    state.PauseTiming();
    k.m_CharIndex = 0;
    k.InsertChar('x');
    k.StoreLine();
    state.ResumeTiming();
    r.model.Update();
    state.PauseTiming();
    k.m_LineText.erase(0, 1);
    k.m_LineLength--;
    k.m_CharCount--;
    k.StoreLine();
    r.model.Update();
    state.ResumeTiming();
  }
  state.counters["told"] = static_cast<double>(r.listener.told);
}
BENCHMARK(BM_AccessibleUpdateAfterTyping)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace kestrix
