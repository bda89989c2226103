// One control as the Windows module hosts it: the control object made by the module's own
// factory, on a display of its own whose surface is exactly the control's window. The ActiveX
// face (which sees the platform's headers) drives it through this class, which shows only
// standard types: the framework's and the platform's declarations cannot meet in one file.
// Objects cross as void*: the framework's IDispatch has the platform's layout, so the pointer
// it gives serves a container as it is.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "module/win32/ClassId.h"

namespace win32host {

// What the window system behind the control is told, and asked for the clipboard.
class SystemEdge {
 public:
  virtual ~SystemEdge() = default;
  // Text in code page 1256 with CR line breaks; nothing when the clipboard was emptied.
  virtual void ClipboardChanged(const std::optional<std::string>& text) = 0;
  virtual std::optional<std::string> ClipboardText(const std::optional<std::string>& own) = 0;
  // Why the last ClipboardText gave nothing though the clipboard held text (a character with
  // no place in the code page), once.
  virtual std::optional<std::string> TakeClipboardRefusal() { return std::nullopt; }
  // Input refused for want of a place in the code page: the system's beep.
  virtual void InputRefused(const std::string& /*why*/) {}
  // Whether another program holds the clipboard open (then the control's cannot open).
  virtual bool ClipboardAvailable() { return true; }
  enum class Cursor { None, Arrow, IBeam, Wait };
  virtual void CursorChanged(Cursor cursor) = 0;
  virtual void LayoutRequested(intptr_t layout) = 0;
  // Shift, Control or Alt as the system keeps them for the message being handled (negative
  // while down), or nothing where the control's own record of its key messages is to be used.
  virtual std::optional<short> ModifierState(int /*virtualKey*/) { return std::nullopt; }
  // The control's own loop waits for input (mouse capture, a dialog): the edge feeds the
  // display what arrives within timeoutMs and answers the milliseconds that passed, or -1
  // when no input can come.
  virtual int64_t FeedWaitingLoop(uint32_t timeoutMs) = 0;
  // A popup menu at a point of the control's client area: the id of the item chosen, or 0.
  struct MenuChoice {
    unsigned id;
    std::string text;  // code page 1256
  };
  virtual unsigned ChooseFromMenu(const std::vector<MenuChoice>& items, int x, int y) = 0;
  // A modal dialog from the module's resources, in a window of its own: its result, or nothing
  // when the system could not show it.
  virtual std::optional<intptr_t> RunDialog(unsigned templateId) = 0;
};

// One persisted property, as a container's property bag holds it.
struct NamedValue {
  enum class Kind { Bool, Short, Long, UnsignedLong, Text, Font };
  std::string name;
  Kind kind = Kind::Long;
  int64_t number = 0;   // Bool, Short, Long, UnsignedLong
  std::u16string text;  // Text; a font's name
  // A font: size in ten-thousandths of a point, and its style.
  int64_t fontSize = 0;
  short fontWeight = 0;
  short fontCharset = 0;
  bool fontItalic = false;
  bool fontUnderline = false;
  bool fontStrikethrough = false;
};

class ControlInstance {
 public:
  // Null when the module cannot make the control.
  static std::unique_ptr<ControlInstance> Create();
  ~ControlInstance();
  ControlInstance(const ControlInstance&) = delete;
  ControlInstance& operator=(const ControlInstance&) = delete;

  // The control's automation object (platform layout), not AddRef'd; lives as long as this.
  // Calls on it go through MakeCurrent first: each control has a display of its own, and the
  // control's code works on whichever is current. Every other member here does it itself.
  void* Dispatch() const { return dispatch_; }
  void MakeCurrent();

  // Creates the control's window at this size, or gives it the new size.
  bool Place(int width, int height);
  bool Placed() const;
  int Width() const;
  int Height() const;
  // The surface's pixels, 0x00RRGGBB, row after row.
  const uint32_t* Pixels() const;
  // The control's own window on its surface: the frame it has (a one-pixel border, the
  // two-pixel sunken edge) and where its client area lies. A real window with the same frame
  // has the control's client coordinates as its own.
  struct WindowFrame {
    bool border = false;
    bool sunkenEdge = false;
    int clientLeft = 0, clientTop = 0, clientWidth = 0, clientHeight = 0;
  };
  WindowFrame Frame() const;
  // The window system behind the control; null detaches it. Not owned.
  void AttachEdge(SystemEdge* edge);

  // Input, as the display delivers it; points in the client coordinates of the control's own
  // window (the surface less the window's frame).
  void KeyDown(int virtualKey, unsigned scanCode, bool system);
  void KeyUp(int virtualKey, unsigned scanCode, bool system);
  void Char(uint8_t codePageByte);
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, bool right);
  void MouseUp(int x, int y, bool right);
  void DoubleClickDown(int x, int y);
  void Wheel(int x, int y, int delta);
  void Focus(bool gained);
  bool HasFocus() const;
  // Whether the pointer at client point (x, y) is over the text (else the scroll bar).
  bool OverText(int x, int y) const;
  // The display's clock follows the real one: moves it on by what passed, running timers.
  void CatchUpClock(uint64_t realMs);
  // Milliseconds until the next timer falls due, or nothing when none runs.
  std::optional<uint64_t> MsUntilNextTimer(uint64_t realMs) const;

  // Whether the control acts on Return (it breaks lines and the host wants it to), so that a
  // dialog leaves the key to it rather than pressing its default button.
  bool WantsReturn();

  // Persistence. A new state: the defaults, with starting values (the container's ambient
  // colours, say) in place of theirs.
  void InitNew(const std::vector<NamedValue>& starting = {});
  bool IsDirty() const;
  // The properties in the framework's property-file text. A save answers false when the
  // values cannot all be written (the dirty state then stays); a load answers false (and says
  // why in error) when the text is not one, or a value in it could not be read.
  bool SaveText(bool clearDirty, std::string& text);
  bool LoadText(const std::string& text, std::string* error);
  // The longest property-file text a load reads.
  static size_t MaxTextBytes();
  std::vector<NamedValue> SaveValues(bool clearDirty);
  // S_OK, or an error result when a value could not be read (the others are loaded).
  long LoadValues(const std::vector<NamedValue>& values);

  // Event sinks: a container's dispatch sink (platform layout), held until Unadvise.
  long Advise(void* sink, uint32_t* cookie);
  long Unadvise(uint32_t cookie);
  long DoVerb(long verb);
  // The classes of the control's property pages, in order.
  std::vector<ClassId> PropertyPages() const;

  // For test hosts (KestrixInspection.h): the fixed-metric text library, given before the
  // control's window exists, and what only the control knows of its state. Defined in
  // ControlInspection.cpp, which only the test build of the module links (the shipped one has
  // no fixed metrics: NoTestHooks.cpp).
  bool UseFixedMetrics();
  struct InspectedState {
    int lineCount = 0;
    int caretLine = 0, caretIndex = 0;
    long caretOffset = 0;
    int firstVisible = 0, lastVisible = 0;
    int textBottom = 0;
    bool scrollBarVisible = false, scrollBarOnLeft = false;
    int scrollPosition = 0, scrollMaximum = 0;
  };
  struct InspectedLine {
    std::u16string chars;
    int direction = 0;
    bool highlighted = false;
    int highlightLeft = 0, highlightRight = 0;
  };
  InspectedState Inspect();
  std::optional<InspectedLine> InspectLine(int n);
  // The caret position before character index of line, at the middle of the line's band.
  std::optional<std::pair<int, int>> InspectPoint(int line, int index);

 private:
  ControlInstance();
  struct State;
  std::unique_ptr<State> state_;
  void* dispatch_ = nullptr;
};

}  // namespace win32host
