// The control on the real text library over the mixed 1 MB corpus, 600 pixels of text width:
// the whole-text rebuild, typing, caret moves near the top and deep in the text, and a
// full repaint.
#include <benchmark/benchmark.h>

#include <memory>

#include "MixedCorpus.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

// Client 616 × 400 less the 16-pixel scroll strip: a 600-pixel text rectangle.
constexpr int kWindowWidth = 620;
constexpr int kWindowHeight = 404;

struct LoadedControl {
  Display display{kWindowWidth + 40, kWindowHeight + 40};
  CWnd container;
  CKestrixCtrl ctrl;
  std::string corpus = bench::GenerateMixedCorpus();

  LoadedControl() {
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, kWindowWidth + 40, kWindowHeight + 40), nullptr);
    ctrl.ResetProperties();
    ctrl.CreateControlWindow(&container, CRect(20, 20, 20 + kWindowWidth, 20 + kWindowHeight));
    ctrl.SetText(corpus);
  }

  // The first line at or after n with room for one more character, shown in the view.
  int LineWithRoom(int n) {
    for (; n < ctrl.LineCount(); ++n) {
      ctrl.GotoLine(n);
      if (ctrl.TextExtent(ctrl.m_LineText + "x").cx + 10 <= ctrl.m_TextRect.Width()) break;
    }
    Show(n);
    return n;
  }

  void Show(int n) {
    ctrl.SetFirstVisible(n - 2);
    ctrl.GotoLine(n);
    ctrl.m_CharIndex = 0;
  }
};

LoadedControl& Shared() {
  static auto* control = new LoadedControl();  // built once; lives for the whole run
  return *control;
}

// A whole layout of the text: lines are not kept from the previous text.
void BM_TextWrite(benchmark::State& state) {
  LoadedControl& c = Shared();
  c.ctrl.m_KeepUnchangedLines = false;
  for (auto _ : state) c.ctrl.SetText(c.corpus);
  c.ctrl.m_KeepUnchangedLines = true;
  state.counters["lines"] = c.ctrl.LineCount();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.corpus.size()));
}
BENCHMARK(BM_TextWrite)->Unit(benchmark::kMillisecond)->Iterations(2);

// Typing a character as the keyboard path does, then taking it back.
void BM_TypeCharacter(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  int line = c.LineWithRoom(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    k.m_CharIndex = 0;
    k.AcquireDC();
    k.InsertChar('x');
    k.StoreLine();
    k.PaintCurrentLine();
    k.UpdateCaret();
    k.ReleaseHeldDC();
    k.m_LineText.erase(0, 1);
    k.m_LineLength--;
    k.m_CharCount--;
    k.StoreLine();
  }
  state.counters["line"] = line;
}
BENCHMARK(BM_TypeCharacter)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MoveDown(benchmark::State& state) {
  LoadedControl& c = Shared();
  auto line = static_cast<int>(state.range(0));
  c.Show(line);
  for (auto _ : state) {
    state.PauseTiming();
    c.ctrl.GotoLine(line);
    state.ResumeTiming();
    c.ctrl.MoveDown(TRUE);
  }
}
BENCHMARK(BM_MoveDown)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MoveRight(benchmark::State& state) {
  LoadedControl& c = Shared();
  auto line = static_cast<int>(state.range(0));
  c.Show(line);
  for (auto _ : state) {
    c.ctrl.m_CharIndex = 0;
    c.ctrl.MoveRight();
  }
}
BENCHMARK(BM_MoveRight)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_PaintWindow(benchmark::State& state) {
  LoadedControl& c = Shared();
  c.Show(static_cast<int>(state.range(0)));
  for (auto _ : state) c.ctrl.PaintLines(c.ctrl.m_FirstVisible, c.ctrl.m_LastVisible);
}
BENCHMARK(BM_PaintWindow)->Arg(10)->Unit(benchmark::kMicrosecond);

// Backspace in the middle of the 1 MB corpus, through the key message, keeping the lines of
// unchanged paragraphs (argument 1) or laying out the whole text (0). The character is typed
// back, untimed.
void BM_Backspace(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  k.m_KeepUnchangedLines = state.range(0) != 0;
  c.Show(10000);
  k.m_CharIndex = 1;
  for (auto _ : state) {
    k.SendMessage(WM_KEYDOWN, VK_BACK, 1);
    state.PauseTiming();
    k.SendMessage(WM_CHAR, 'x', 1);
    state.ResumeTiming();
  }
  k.m_KeepUnchangedLines = true;
}
BENCHMARK(BM_Backspace)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5);

// Deleting a selection of about 20 KB that spans many paragraphs deep in the 1 MB corpus; the
// text is put back, untimed.
void BM_DeleteSelection(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  for (auto _ : state) {
    state.PauseTiming();
    c.Show(10000);
    k.SetSelStart(k.OffsetFromIndex(0));
    k.SetSelLength(20000);
    state.ResumeTiming();
    k.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    state.PauseTiming();
    k.SetText(c.corpus);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteSelection)->Unit(benchmark::kMillisecond)->Iterations(5);

// Pasting 10 KB of the corpus (many paragraphs) deep in the 1 MB corpus; the text is put back,
// untimed.
void BM_Paste10K(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  c.display.PutClipboardText(c.corpus.substr(1000, 10 * 1024));
  for (auto _ : state) {
    state.PauseTiming();
    c.Show(10000);
    k.m_CharIndex = 3;
    state.ResumeTiming();
    k.OnEditPaste();
    state.PauseTiming();
    k.SetText(c.corpus);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Paste10K)->Unit(benchmark::kMillisecond)->Iterations(5);

// Return in the middle of a line deep in the 1 MB corpus; the text is put back, untimed.
void BM_Return(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  for (auto _ : state) {
    state.PauseTiming();
    c.Show(10000);
    k.m_CharIndex = 3;
    state.ResumeTiming();
    k.SendMessage(WM_KEYDOWN, VK_RETURN, 1);
    state.PauseTiming();
    k.SetText(c.corpus);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Return)->Unit(benchmark::kMillisecond)->Iterations(5);

// Shift+Down extending a selection line by line deep in the 1 MB corpus: highlight only.
void BM_ShiftDown(benchmark::State& state) {
  LoadedControl& c = Shared();
  CKestrixCtrl& k = c.ctrl;
  c.Show(10000);
  c.display.KeyDown(VK_SHIFT, 0x2A);
  for (auto _ : state) k.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
  c.display.KeyUp(VK_SHIFT, 0x2A);
  state.counters["selected"] = k.m_SelLength;
}
BENCHMARK(BM_ShiftDown)->Unit(benchmark::kMicrosecond)->Iterations(200);

// A control placed in a container on its own display, for benchmarks that change its window.
struct PlacedControl {
  Display display{400, 300};
  CWnd container;
  CKestrixCtrl ctrl;
  explicit PlacedControl(const CRect& rect) {
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 400, 300), nullptr);
    ctrl.ResetProperties();
    ctrl.CreateControlWindow(&container, rect);
  }
};

// A letter typed at the start of a long paragraph whose every line is full, so that a word is
// pushed through all of its lines: the view at the top, or scrolled to the paragraph's end
// with the caret left on line 1. Painting only what is in view makes both cost the same.
void BM_TypeIntoFullParagraph(benchmark::State& state) {
  PlacedControl placed(CRect(0, 0, 200, 48));  // a 44-pixel text area
  CKestrixCtrl& ctrl = placed.ctrl;
  // As narrow as one word needs: an "x" typed before it pushes it onto the next line.
  int wordWidth = ctrl.TextExtent("abcd ").cx;
  ctrl.SetRectInContainer(CRect(0, 0, wordWidth + 10 + 16 + 4, 48));
  std::string paragraph;
  for (int i = 0; i < 1000; ++i) paragraph += "abcd ";
  const bool scrolled = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    ctrl.SetText(paragraph);
    if (scrolled)
      ctrl.SendMessage(WM_VSCROLL, SB_THUMBTRACK | (static_cast<WPARAM>(ctrl.LineCount() - 2) << 16),
                       reinterpret_cast<LPARAM>(ctrl.m_pScrollBar->GetSafeHwnd()));
    ctrl.m_CharIndex = ctrl.IndexFromOffset(0);
    state.ResumeTiming();
    ctrl.SendMessage(WM_CHAR, 'x', 1);
  }
  state.counters["lines"] = ctrl.LineCount();
  state.counters["first"] = ctrl.m_FirstVisible;
}
BENCHMARK(BM_TypeIntoFullParagraph)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Refresh of a short text after the window has been re-created many times (reading-order
// switches): destroyed windows must cost nothing afterwards.
void BM_RefreshAfterRecreations(benchmark::State& state) {
  PlacedControl placed(CRect(0, 0, 320, 200));
  CKestrixCtrl& ctrl = placed.ctrl;
  ctrl.SetText("Kestrix \xE3\xD1\xCD\xC8\xC7 english \xDA\xD1\xC8\xED\r second line");
  for (int64_t i = 0; i < state.range(0); ++i) ctrl.SetReadingOrder(static_cast<short>(i % 2 == 0 ? 0 : 1));
  for (auto _ : state) ctrl.Refresh();
  state.counters["windows"] = static_cast<double>(placed.display.WindowCount());
}
BENCHMARK(BM_RefreshAfterRecreations)->Arg(0)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace kestrix
