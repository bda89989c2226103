// The test container as a target of the script language: the control created by its ProgID
// in the container's form, driven through IDispatch and real window messages, observed through
// what a container sees (automation, the connection point, IPersistStreamInit, the clipboard,
// the window's pixels and the messages it receives) and, for what only the control knows (its
// display lines, caret, visible lines, scroll bar), its inspection interface for test hosts.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Container.h"
#include "KestrixInspection.h"
#include "ScriptClipboard.h"
#include "ScriptEventSink.h"
#include "ScriptRunner.h"
#include "ScriptTarget.h"

namespace kestrix {

class ContainerScriptTarget final : public ScriptTarget {
 public:
  ContainerScriptTarget();
  ~ContainerScriptTarget() override;
  ContainerScriptTarget(const ContainerScriptTarget&) = delete;
  ContainerScriptTarget& operator=(const ContainerScriptTarget&) = delete;
  // The runner whose next lines run while the control's own loop waits for input.
  void AttachRunner(ScriptRunner* runner) { runner_ = runner; }

  void ChooseMetrics(bool fixed) override { fixedMetrics_ = fixed; }
  void EnsureControl() override;
  int MaxWindowSide() const override { return 2048; }
  void Window(int width, int height) override;
  void Reset() override;
  void Focus() override;
  void Blur() override;
  void AdvanceClock(uint64_t ms) override;
  void Set(const std::string& name, const Word& value) override;
  Shown Get(const std::string& name) override;
  PropertyValue Call(const std::string& name, const std::vector<Word>& args) override;
  void KeyDown(const KeyInfo& key) override;
  void KeyUp(const KeyInfo& key) override;
  bool KeyIsDown(int virtualKey) override;
  void HoldKey(const KeyInfo& key, bool down) override;
  void Char(uint32_t code) override;
  void MouseDown(ScriptPoint p, bool shift) override;
  void MouseMove(ScriptPoint p) override;
  void MouseUp(ScriptPoint p) override;
  void Click(ScriptPoint p) override;
  void DoubleClick(ScriptPoint p) override;
  void RightClick(ScriptPoint p) override;
  void ArmMenu(unsigned id) override;
  ScriptPoint LinePoint(int line, int64_t index) override;
  int TextBottom() override;
  void ClipboardSet(const std::string& bytes) override;
  void ClipboardClear() override;
  void ClipboardLock() override { clipboardHolder_.Hold(); }
  void ClipboardUnlock() override { clipboardHolder_.Release(); }
  std::string Save(const std::string& file) override;
  std::vector<std::string> Load(const std::string& file) override;
  void Png(const std::string& file) override;
  std::string Text() override;
  int LineCount() override;
  ScriptLine Line(int n) override;
  ScriptCaret Caret() override;
  long CaretOffset() override;
  ScriptSelection Selection() override;
  ScriptVisible Visible() override;
  ScriptScrollBar ScrollBar() override;
  std::optional<std::string> ClipboardText() override;
  bool Dirty() override;
  std::optional<uint32_t> RequestedLayout() override { return layout_; }
  std::vector<std::string> TakeEvents() override { return events_.Take(); }
  std::string Cursor() override;
  std::optional<std::vector<ScriptMenuItem>> LastMenu() override;
  uint32_t Pixel(int x, int y) override;
  bool ExtraCommand(const std::vector<Word>&) override { return false; }
  std::optional<Shown> ExtraObservation(const std::vector<Word>&, size_t&) override {
    return std::nullopt;
  }
  void Finish(ScriptPoint last) override;

 private:
  // A new control (from a saved stream, or new) in a form of the current size.
  void Place(IStream* saved);
  void Unplace();
  // The control's state as IPersistStreamInit saves it.
  std::string SaveToStream(bool clearDirty);
  void SizeForm();
  HWND ControlHwnd();
  IKestrixInspection& Inspection();
  // Posts an input message and lets it be handled; inside the control's own loop the loop
  // takes it.
  void Deliver(HWND to, UINT message, WPARAM wParam, LPARAM lParam);
  void Mouse(UINT message, ScriptPoint p);
  WPARAM MouseFlags() const;
  // The thread's key state for the key (both sides' codes for Shift), with no message.
  void SetKey(const KeyInfo& key, bool down);
  // Dispatches the thread's messages until none is left, or for ms milliseconds.
  void Pump(DWORD ms = 0);
  // The control's loop let the script go on: runs its next line.
  void ContinueInsideLoop();
  static LRESULT CALLBACK HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The control's window was told of the popup menu it is about to show / that the menu's
  // loop waits for input: the items are kept, and the armed item is chosen (else the menu is
  // dismissed), once.
  void MenuShown(HMENU menu);
  void AnswerMenu(HWND menuWindow);

  ScriptRunner* runner_ = nullptr;
  std::unique_ptr<Container> container_;
  bool placed_ = false;
  bool fixedMetrics_ = false;
  int width_ = 640, height_ = 400;
  // The shared form's frame before the script sized it, put back at the end.
  RECT formFrame_{};
  bool formSizeKept_ = false;
  HWND helper_ = nullptr;  // the script's own messages; the clipboard's owner for the script
  IKestrixInspection* inspection_ = nullptr;
  ScriptEventSink events_;
  ClipboardHolder clipboardHolder_;
  BYTE keys_[256] = {};
  bool buttonDown_ = false;
  ScriptPoint lastMouse_;
  bool insideLoop_ = false;  // the control's own loop is running the script
  std::optional<uint32_t> layout_;
  HWND watched_ = nullptr;
  WNDPROC watchedProc_ = nullptr;
  bool menuArmed_ = false;
  unsigned menuChoice_ = 0;
  unsigned menuAnswer_ = 0;   // for the menu the last rclick opens; 0 dismisses it
  bool menuPending_ = false;  // shown and not yet answered
  HMENU shownMenu_ = nullptr;
  std::optional<std::vector<ScriptMenuItem>> lastMenu_;
};

}  // namespace kestrix
