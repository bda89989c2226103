// Edits in a 1 MB and a 16 MB document as a window meets them: the document written as the
// host's Text, the caret put on line 3 with Ctrl+Home, Down, Down and End (Home for Delete), and
// each edit a key message in, through the store, the re-break and the paint of the view. Each
// edit is undone untimed by another edit, so every round starts from the same text. Undo and
// redo are timed alone, after the edit they take back.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "MixedCorpus.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

constexpr int kWindowWidth = 620;  // a 600-pixel text rectangle beside the scroll bar
constexpr int kWindowHeight = 404;

// One display for every document: the key state and the clipboard are the display's.
Display& TheDisplay() {
  static auto* display = new Display(kWindowWidth + 40, kWindowHeight + 40);
  return *display;
}

struct Document {
  Display& display = TheDisplay();
  CWnd container;
  CKestrixCtrl ctrl;
  std::string text;

  explicit Document(int megabytes) {
    bench::MixedCorpusOptions options;
    options.targetBytes = static_cast<size_t>(megabytes) << 20;
    text = bench::GenerateMixedCorpus(options);
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, kWindowWidth + 40, kWindowHeight + 40), nullptr);
    ctrl.ResetProperties();
    ctrl.CreateControlWindow(&container, CRect(20, 20, 20 + kWindowWidth, 20 + kWindowHeight));
    display.SetFocus(ctrl.GetSafeHwnd());
    ctrl.SetText(text);
  }

  void Key(UINT key) {
    display.KeyDown(static_cast<int>(key));
    display.KeyUp(static_cast<int>(key));
  }
  void ControlKey(UINT key) {
    display.SetKeyState(VK_CONTROL, true);
    Key(key);
    display.SetKeyState(VK_CONTROL, false);
  }
  // Ctrl+V.
  void Paste() {
    display.SetKeyState(VK_CONTROL, true);
    display.KeyDown('V');
    display.Char(0x16);
    display.KeyUp('V');
    display.SetKeyState(VK_CONTROL, false);
  }
  // The caret at the end (or start) of line 3, as a person puts it there.
  void CaretOnLine3(bool atEnd) {
    ControlKey(VK_HOME);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(atEnd ? VK_END : VK_HOME);
  }
  int Caret() { return ctrl.OffsetFromIndex(ctrl.m_CharIndex); }
  void Select(int start, int length) {
    ctrl.SetSelStart(start);
    ctrl.SetSelLength(length);
  }
};

Document& Opened(int megabytes) {
  static std::map<int, std::unique_ptr<Document>> documents;  // built once each; live for the run
  auto& document = documents[megabytes];
  if (!document) document = std::make_unique<Document>(megabytes);
  return *document;
}

enum Edit { kBackspace, kDelete, kReturn, kTyping, kPaste10K, kDeleteSelection20K, kUndoTyping, kUndoPaste10K, kRedoPaste10K };

void BM_EditScaling(benchmark::State& state) {
  Document& d = Opened(static_cast<int>(state.range(0)));
  const auto edit = static_cast<Edit>(state.range(1));
  d.display.SetFocus(d.ctrl.GetSafeHwnd());
  d.CaretOnLine3(edit != kDelete);
  const std::string pasted = d.text.substr(1000, 10 * 1024);
  for (auto _ : state) {
    switch (edit) {
      case kBackspace:
        d.Key(VK_BACK);
        state.PauseTiming();
        d.display.Char('x');
        break;
      case kDelete:
        d.Key(VK_DELETE);
        state.PauseTiming();
        d.display.Char('x');
        d.Key(VK_LEFT);
        break;
      case kReturn:
        d.Key(VK_RETURN);
        state.PauseTiming();
        d.Key(VK_BACK);
        break;
      case kTyping:
        d.display.Char('x');
        state.PauseTiming();
        d.Key(VK_BACK);
        break;
      case kPaste10K: {
        state.PauseTiming();
        d.display.PutClipboardText(pasted);
        const int at = d.Caret();
        state.ResumeTiming();
        d.Paste();
        state.PauseTiming();
        d.Select(at, d.Caret() - at);
        d.Key(VK_DELETE);
        break;
      }
      case kDeleteSelection20K: {
        state.PauseTiming();
        const int at = d.Caret();
        d.Select(at, 20000);
        const CString removed = d.ctrl.SelectedText();
        state.ResumeTiming();
        d.Key(VK_DELETE);
        state.PauseTiming();
        d.display.PutClipboardText(removed);
        d.Paste();
        d.CaretOnLine3(true);
        break;
      }
      // The edit untimed, then its undo timed; or the undo untimed too, its redo timed and
      // the undo again untimed.
      case kUndoTyping:
        state.PauseTiming();
        d.display.Char('x');
        state.ResumeTiming();
        d.ctrl.Undo();
        state.PauseTiming();
        break;
      case kUndoPaste10K:
        state.PauseTiming();
        d.display.PutClipboardText(pasted);
        d.Paste();
        state.ResumeTiming();
        d.ctrl.Undo();
        state.PauseTiming();
        break;
      case kRedoPaste10K:
        state.PauseTiming();
        d.display.PutClipboardText(pasted);
        d.Paste();
        d.ctrl.Undo();
        state.ResumeTiming();
        d.ctrl.Redo();
        state.PauseTiming();
        d.ctrl.Undo();
        break;
    }
    state.ResumeTiming();
  }
  state.counters["lines"] = d.ctrl.LineCount();
  // The undoing kept the document's size: every round edited the same text.
  state.counters["size_change"] = static_cast<double>(d.ctrl.GetText().size()) - static_cast<double>(d.text.size());
  state.counters["caret_line"] = d.ctrl.m_CurLine;
}
BENCHMARK(BM_EditScaling)
    ->ArgNames({"MB", "edit"})
    ->ArgsProduct({{1, 16},
                   {kBackspace, kDelete, kReturn, kTyping, kPaste10K, kDeleteSelection20K, kUndoTyping,
                    kUndoPaste10K, kRedoPaste10K}})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

}  // namespace

}  // namespace kestrix
