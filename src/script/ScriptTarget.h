// What a scripted host does for the script language: one control in a window of the host's,
// driven through automation and input and observed. The language (ScriptRunner) reads the
// lines, checks their arguments, prints and compares; a target does what a line asks and throws
// ScriptError for what it cannot do. Every member that needs the control places it first when
// none is placed yet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Keys.h"
#include "ScriptValue.h"
#include "ScriptWords.h"

namespace kestrix {

// Client pixels of the control's window.
struct ScriptPoint {
  int x = 0;
  int y = 0;
};

// One display line as the control holds it.
struct ScriptLine {
  std::string chars;  // code page bytes, CR included
  int direction = 0;  // 0 left to right, 1 right to left
  bool highlighted = false;
  int highlightLeft = 0, highlightRight = 0;  // in either order
};

struct ScriptScrollBar {
  bool visible = false;
  bool onLeft = false;
  long position = 0;  // as the bar reports it
  long maximum = 0;   // the range maximum the control set
};

struct ScriptCaret {
  int line = 0;
  int index = 0;
};

struct ScriptSelection {
  long start = 0;
  long length = 0;
};

struct ScriptVisible {
  int first = 0;
  int last = 0;
};

struct ScriptMenuItem {
  std::string text;  // code page bytes
  unsigned id = 0;
};

class ScriptTarget {
 public:
  virtual ~ScriptTarget() = default;

  // Setting up. ChooseMetrics comes only before any other call.
  virtual void ChooseMetrics(bool fixed) = 0;
  virtual void EnsureControl() = 0;
  virtual int MaxWindowSide() const = 0;
  virtual void Window(int width, int height) = 0;
  virtual void Reset() = 0;
  virtual void Focus() = 0;
  virtual void Blur() = 0;
  virtual void AdvanceClock(uint64_t ms) = 0;

  // Automation: names as written (FontAr.Size reaches the font object). A call answers
  // isNone for a method without a result.
  virtual void Set(const std::string& name, const Word& value) = 0;
  virtual Shown Get(const std::string& name) = 0;
  virtual PropertyValue Call(const std::string& name, const std::vector<Word>& args) = 0;

  // Input, one message each; the key state follows the key messages.
  virtual void KeyDown(const KeyInfo& key) = 0;
  virtual void KeyUp(const KeyInfo& key) = 0;
  virtual bool KeyIsDown(int virtualKey) = 0;
  // The key goes down or up on the keyboard with no message to the control, as while another
  // window has the focus: the control learns of it only from the live key state.
  virtual void HoldKey(const KeyInfo& key, bool down) = 0;
  // A code-page byte (0 to 0xFF), or a wider code as a display that delivers Unicode sends.
  virtual void Char(uint32_t code) = 0;
  virtual void MouseDown(ScriptPoint p, bool shift) = 0;
  virtual void MouseMove(ScriptPoint p) = 0;
  virtual void MouseUp(ScriptPoint p) = 0;
  virtual void Click(ScriptPoint p) = 0;
  virtual void DoubleClick(ScriptPoint p) = 0;
  virtual void RightClick(ScriptPoint p) = 0;
  // The next popup menu returns id, or is dismissed when id is 0.
  virtual void ArmMenu(unsigned id) = 0;
  // The caret position before character index of display line (1-based) at the middle of the
  // line's band; the bottom of the text rectangle.
  virtual ScriptPoint LinePoint(int line, int64_t index) = 0;
  virtual int TextBottom() = 0;

  // Clipboard and files.
  virtual void ClipboardSet(const std::string& bytes) = 0;
  virtual void ClipboardClear() = 0;
  virtual void ClipboardLock() = 0;
  virtual void ClipboardUnlock() = 0;
  // Saves the control's persisted properties to file; empty, or why the save failed (the file
  // is then left as it was).
  virtual std::string Save(const std::string& file) = 0;
  // Places a new control loaded from file; what of the file could not be read, one line each
  // (empty when all of it was). What was not read keeps its default.
  virtual std::vector<std::string> Load(const std::string& file) = 0;
  virtual void Png(const std::string& file) = 0;

  // Observing.
  virtual std::string Text() = 0;
  virtual int LineCount() = 0;
  virtual ScriptLine Line(int n) = 0;  // 1 <= n <= LineCount()
  virtual ScriptCaret Caret() = 0;
  virtual long CaretOffset() = 0;
  virtual ScriptSelection Selection() = 0;  // as SelStart and SelLength read
  virtual ScriptVisible Visible() = 0;
  virtual ScriptScrollBar ScrollBar() = 0;
  virtual std::optional<std::string> ClipboardText() = 0;
  virtual bool Dirty() = 0;
  // The last keyboard layout the control requested since it was placed.
  virtual std::optional<uint32_t> RequestedLayout() = 0;
  // The stock events since the last call, printed.
  virtual std::vector<std::string> TakeEvents() = 0;
  virtual std::string Cursor() = 0;
  virtual std::optional<std::vector<ScriptMenuItem>> LastMenu() = 0;
  virtual uint32_t Pixel(int x, int y) = 0;  // 0xRRGGBB

  // Commands and observations of this host alone: false / nothing when it has none by that
  // name. An observation is named by words[i - 1]; i moves past its arguments.
  virtual bool ExtraCommand(const std::vector<Word>& words) = 0;
  virtual std::optional<Shown> ExtraObservation(const std::vector<Word>& words, size_t& i) = 0;

  // The script has ended: a button still down at last goes up there.
  virtual void Finish(ScriptPoint last) = 0;
};

}  // namespace kestrix
