// The control's accessible model (src/access) for the module's accessibility objects, in
// standard types: the files that speak the platform's accessibility interfaces cannot see the
// framework's declarations. Each call makes the control's display current first.
#pragma once

#include <memory>
#include <string>

namespace win32host {

class ControlInstance;

class AccessibleFace {
 public:
  // Client pixels of the control's window.
  struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
  };
  struct States {
    bool readOnly = false;
    bool protectedText = false;  // a password: only masking characters are given out
    bool focused = false;
    bool operator==(const States&) const = default;
  };
  // What changed since the last Update, each told at most once per Update, in this order. The
  // focus is one of the states.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void StatesChanged() = 0;
    virtual void TextChanged() = 0;
    virtual void SelectionChanged() = 0;
    // The caret's offset or its place on the screen (a scroll moves it too).
    virtual void CaretMoved() = 0;
  };

  // Nothing when the control object cannot be reached.
  static std::unique_ptr<AccessibleFace> Create(ControlInstance& instance);
  ~AccessibleFace();
  AccessibleFace(const AccessibleFace&) = delete;
  AccessibleFace& operator=(const AccessibleFace&) = delete;

  // The host's name for the control (a container's display name).
  void SetName(const std::u16string& name);
  std::u16string Name();
  States CurrentStates();
  // The text, a paragraph break read as a line feed; a password as its masking characters.
  std::u16string Text();
  bool HasSelection();
  Box CaretBox();
  // Replaces the text as the keys would: false in a read-only control, for text the code page
  // has no place for, and while the control is in the middle of a gesture or a rebuild.
  bool SetContents(const std::u16string& text);

  // Null stops. Update compares the control with what was last told; starting to listen takes
  // the control as it is.
  void SetListener(Listener* listener);
  void Update();

 private:
  struct Impl;
  explicit AccessibleFace(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace win32host
