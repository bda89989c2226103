// Texts unlike the corpus: one paragraph of 1 MB without a space, one of 1 MB of words shown
// without wrapping, and the corpus at 1, 4 and 16 MB. Each text is laid out whole in a fresh
// control, so that nothing is kept from an earlier text; the text library's caches are
// shared, so a text's first layout is timed and its second given apart.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "MixedCorpus.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

struct FreshControl {
  Display display{660, 444};
  CWnd container;
  CKestrixCtrl ctrl;
  explicit FreshControl(bool wordWrap) {
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 660, 444), nullptr);
    ctrl.ResetProperties();
    ctrl.m_WordWrap = wordWrap ? TRUE : FALSE;
    ctrl.CreateControlWindow(&container, CRect(20, 20, 640, 424));  // a 600-pixel text area
    ctrl.m_KeepUnchangedLines = false;
  }
};

// Argument 0: the corpus without spaces or breaks, wrapped; 1: the corpus with its breaks
// turned into spaces, not wrapped; 2: the same after an Arabic word, so that the line runs
// right to left and the left-aligned window shows its end.
std::string LongParagraph(int64_t kind) {
  std::string text = bench::GenerateMixedCorpus();
  if (kind == 0)
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\r'; }), text.end());
  else
    std::replace(text.begin(), text.end(), '\r', ' ');
  if (kind == 2) text.insert(0, "\xE3\xD1\xCD\xC8\xC7 ");
  return text;
}

const char* LongParagraphLabel(int64_t kind) {
  return kind == 0 ? "no space, wrapped" : kind == 1 ? "words, not wrapped" : "words, right to left, not wrapped";
}

void BM_LongParagraph(benchmark::State& state) {
  const std::string text = LongParagraph(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto placed = std::make_unique<FreshControl>(state.range(0) == 0);
    state.ResumeTiming();
    placed->ctrl.SetText(text);
    state.PauseTiming();
    placed.reset();
    state.ResumeTiming();
  }
  // The same text laid out once more in another fresh control, with the text library's caches
  // warm from the first: the figure to hold against the corpus's Text write, which is warm too.
  FreshControl again(state.range(0) == 0);
  const auto start = std::chrono::steady_clock::now();
  again.ctrl.SetText(text);
  state.counters["again_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  state.SetLabel(std::string("1 MB, ") + LongParagraphLabel(state.range(0)));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LongParagraph)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

// Typing into the middle of such a paragraph, as the keyboard path does. The first keystroke
// after the load measures the line afresh (the one after a load measured only its growing
// end), so it is typed untimed and its cost given apart.
void BM_TypeIntoLongParagraph(benchmark::State& state) {
  const std::string text = LongParagraph(state.range(0));
  FreshControl placed(state.range(0) == 0);
  CKestrixCtrl& k = placed.ctrl;
  k.SetText(text);
  k.m_CharIndex = k.IndexFromOffset(static_cast<int>(text.size() / 2));
  const auto start = std::chrono::steady_clock::now();
  k.SendMessage(WM_CHAR, 'x', 1);
  state.counters["first_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) k.SendMessage(WM_CHAR, 'x', 1);
  state.SetLabel(LongParagraphLabel(state.range(0)));
}
BENCHMARK(BM_TypeIntoLongParagraph)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(50);

// The whole layout of the corpus at 1, 4 and 16 MB, and the memory the control holds for it
// (the heap it grew by, less the caller's copy of the text), per character.
void BM_TextWriteScaling(benchmark::State& state) {
  bench::MixedCorpusOptions options;
  options.targetBytes = static_cast<size_t>(state.range(0)) << 20;
  const std::string text = bench::GenerateMixedCorpus(options);
  double bytesPerCharacter = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto placed = std::make_unique<FreshControl>(true);
    const size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    placed->ctrl.SetText(text);
    state.PauseTiming();
    bytesPerCharacter = static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(text.size());
    placed.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_char"] = bytesPerCharacter;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextWriteScaling)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

}  // namespace kestrix
