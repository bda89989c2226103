// The control as a screen reader sees it, apart from any platform: its role and states, its
// text in Unicode, the caret and selections, the text around an offset, where characters are
// on the screen, the changes as events, and the editing a reader may ask for. A platform
// layer (AT-SPI, UI Automation) publishes this object as it is. Offsets count Unicode
// characters of the text; every byte of the code page is one character, so they are the
// control's own offsets. A password control shows only its length, as masking characters.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "control/Observation.h"

namespace kestrix {

class CKestrixCtrl;

enum class AccessibleRole { EditableText };

struct AccessibleStates {
  bool readOnly = false;
  bool protectedText = false;  // a password: the text is never given out
  bool focused = false;
  bool multiLine = true;
};

enum class TextUnit { Character, Word, Line, Paragraph };

struct TextSpan {
  long start = 0, end = 0;  // end excluded
  std::u16string text;
};

struct ScreenBox {
  int x = 0, y = 0, width = 0, height = 0;  // client pixels of the control's window
};

// What a platform layer hears. Each is told after the change, once the control is between
// messages again.
class AccessibleListener {
 public:
  virtual ~AccessibleListener() = default;
  virtual void TextInserted(long offset, const std::u16string& text) = 0;
  virtual void TextDeleted(long offset, const std::u16string& text) = 0;
  virtual void CaretMoved(long offset) = 0;
  virtual void SelectionChanged() = 0;
  virtual void FocusChanged(bool focused) = 0;
};

class AccessibleText {
 public:
  explicit AccessibleText(CKestrixCtrl& control);

  // Name and description are the host's to give.
  void SetName(std::u16string name) { name_ = std::move(name); }
  void SetDescription(std::u16string description) { description_ = std::move(description); }
  const std::u16string& Name() const { return name_; }
  const std::u16string& Description() const { return description_; }
  AccessibleRole Role() const { return AccessibleRole::EditableText; }
  AccessibleStates States() const;

  std::u16string Text();
  // Characters start..end (end excluded, -1 for the text's end), cut to the text.
  std::u16string TextRange(long start, long end);
  long CharacterCount();
  long CaretOffset();
  // Moves the caret as a click would, dropping the selection; false for an offset outside
  // the text.
  bool SetCaretOffset(long offset);
  // The one selection, when there is one.
  std::vector<TextSpan> Selections();
  bool SetSelection(long start, long end);
  // The character, word or display line holding offset. A word runs from the start of a run
  // of letters, digits and marks to the start of the next one (the spaces after it are its
  // own); text before the first word is a span of its own. A line keeps its CR; a paragraph
  // runs to the CR that ends it, kept. A password is one word, one line and one paragraph.
  std::optional<TextSpan> TextAt(long offset, TextUnit unit);
  std::optional<ScreenBox> CharacterBox(long offset);
  std::optional<long> OffsetAtPoint(int x, int y);
  // The caret's stem, one pixel wide, where it stands (drawn or not: it is not drawn while the
  // control lacks the focus or holds a selection).
  ScreenBox CaretBox() const;

  // Editing, by the paths the keyboard takes: nothing changes in a read-only control, and the
  // length limit holds. Text the code page has no place for is refused whole. False when
  // nothing could be done.
  bool SetContents(const std::u16string& text);
  bool InsertText(long offset, const std::u16string& text);
  bool DeleteText(long start, long end);
  // Copy and cut leave a password's clipboard alone, as the keys do.
  bool CopyText(long start, long end);
  bool CutText(long start, long end);
  bool PasteText(long offset);

  // The platform layer listens; null stops. Update compares the control with what was last
  // told and tells the differences; the platform calls it after each turn of input, and the
  // editing calls above call it themselves.
  void SetListener(AccessibleListener* listener);
  void Update();

 private:
  struct Told {
    std::string text;  // code page bytes
    long caret = 0, selStart = 0, selLength = 0;
    bool focused = false;
  };
  Told Now();
  std::u16string Shown(const std::string& bytes) const;
  bool Select(long start, long end);

  CKestrixCtrl& control_;
  ControlObservation observed_;
  std::u16string name_, description_;
  AccessibleListener* listener_ = nullptr;
  Told told_;
};

// UTF-8 of a text of the model (its characters are all in the Basic Multilingual Plane).
std::string Utf8FromModelText(const std::u16string& text);

}  // namespace kestrix
