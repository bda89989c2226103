// The scripted host: one control on the headless display, driven line by line. The script
// language itself is ScriptRunner's; this host is its target on the headless display.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptRunner.h"
#include "ScriptTarget.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"
#include "layout/FixedMetricTextLibrary.h"

namespace kestrix {

// Ends a placed control: deletes the one the host made, releases the one created by name.
struct ControlRelease {
  bool byReference = false;
  void operator()(CKestrixCtrl* control) const;
};

class ScriptHost final : private ScriptTarget {
 public:
  explicit ScriptHost(std::ostream& out);
  ~ScriptHost() override;

  // Runs a script; false when a line could not be run (the message, naming the file and line,
  // goes to err, and nothing after that line runs).
  bool RunScript(std::istream& in, const std::string& name, std::ostream& err) {
    return runner_.RunScript(in, name, err);
  }
  // Whether every expect so far held.
  bool AllHeld() const { return runner_.AllHeld(); }
  int ExitStatus(bool ran) const { return runner_.ExitStatus(ran); }
  // Ends cleanly: a button still down goes up.
  void Finish() { runner_.Finish(); }
  // A text library chosen before the script starts (--metrics).
  void ChooseMetrics(bool fixed) override { fixedMetrics_ = fixed; }
  // Places every control by creating it by name (a ProgID or a braced class identity) through
  // the registry, as a host that knows only the name does (--create).
  void CreateByName(std::string name) { createName_ = std::move(name); }
  // The control placed so far, or null before the first command that places one.
  CKestrixCtrl* Control() { return ctrl_.get(); }

 private:
  struct EventLog;

  // What of loaded the control could not read.
  std::vector<std::string> PlaceControl(const PropertyBag* loaded);
  std::unique_ptr<CKestrixCtrl, ControlRelease> NewControl();
  CKestrixCtrl& Ctrl();
  HWND Hwnd();

  // ScriptTarget
  void EnsureControl() override;
  int MaxWindowSide() const override;
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
  void ClipboardLock() override;
  void ClipboardUnlock() override;
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
  std::optional<uint32_t> RequestedLayout() override;
  std::vector<std::string> TakeEvents() override;
  std::string Cursor() override;
  std::optional<std::vector<ScriptMenuItem>> LastMenu() override;
  uint32_t Pixel(int x, int y) override;
  bool ExtraCommand(const std::vector<Word>& words) override;
  std::optional<Shown> ExtraObservation(const std::vector<Word>& words, size_t& i) override;
  void Finish(ScriptPoint last) override;

  // Dialogs and verbs, which only this host's display shows.
  void DialogCommand(const std::vector<Word>& words);
  void VerbCommand(const std::vector<Word>& words);

  ScriptRunner runner_;
  bool fixedMetrics_ = false;
  int width_ = 640, height_ = 400;
  std::unique_ptr<Display> display_;
  std::unique_ptr<CWnd> container_;
  std::unique_ptr<FixedMetricTextLibrary> fixedLibrary_;
  std::string createName_;
  std::unique_ptr<CKestrixCtrl, ControlRelease> ctrl_;
  std::unique_ptr<EventLog> events_;
  bool clipboardLocked_ = false;
  size_t layoutsBefore_ = 0;  // layout requests made before the control was placed
  UINT menuChoice_ = 0;
  bool menuArmed_ = false;
};

}  // namespace kestrix
