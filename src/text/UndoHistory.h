// The edits a person or a host made, in order, so that they can be taken back and made again.
// A step holds only what it changed: where, the characters it removed and those it put in, and
// the caret, selection and view before and after it. Undoing puts the removed characters back
// over the inserted ones; redoing does the reverse. The steps past the current one are those
// that can be redone; a new step ends them. The history keeps at most a given number of bytes,
// dropping its oldest steps first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "framework/ole/OleTypes.h"

namespace kestrix {

// Where the caret, the selection and the view stand.
struct EditPlace {
  int64_t caret = 0;    // the caret's offset in the text
  int caretLine = 0;    // its display line: the end of a wrapped line and the next line's start
                        // share an offset
  int selStart = 0, selLength = 0;
  int firstVisible = 1;

  bool SameCaretAndSelection(const EditPlace& o) const {
    return caret == o.caret && caretLine == o.caretLine && selStart == o.selStart && selLength == o.selLength;
  }
};

struct UndoStep {
  int64_t start = 0;  // where the change begins, in the text before and after it alike
  CString removed;
  CString inserted;
  EditPlace before, after;
};

class UndoHistory {
 public:
  static constexpr size_t kDefaultByteLimit = size_t{64} << 20;

  explicit UndoHistory(size_t byteLimit = kDefaultByteLimit) : byteLimit_(byteLimit) {}

  bool CanUndo() const { return applied_ > 0; }
  bool CanRedo() const { return applied_ < steps_.size(); }
  const UndoStep* ToUndo() const { return CanUndo() ? &steps_[applied_ - 1] : nullptr; }
  const UndoStep* ToRedo() const { return CanRedo() ? &steps_[applied_] : nullptr; }
  void Undone();
  void Redone();

  // Adds a step after the current one; the steps that could be redone are dropped. The step
  // stays open to typing (see OpenTyping) when typing made it.
  void Push(UndoStep step, bool typing);
  // The newest step while the characters typed next may join it: typing made it, nothing was
  // undone, closed or saved since. Null otherwise.
  UndoStep* OpenTyping();
  void CloseTyping() { typingOpen_ = false; }
  // Characters typed at the open step's end join it; the caret and view move on with them.
  void JoinTyping(const CString& typed, const EditPlace& after);

  // The saved text is the one the current step leaves; AtSaved tells whether the history is
  // back at that step. A step that can no longer be reached (dropped, or ended by a new edit)
  // never is.
  void MarkSaved() { savedAt_ = Position(); }
  bool AtSaved() const { return savedAt_ && *savedAt_ == Position(); }

  // Forgets every step, and which text was saved.
  void Clear();
  void SetByteLimit(size_t bytes);
  size_t ByteLimit() const { return byteLimit_; }
  size_t Bytes() const { return bytes_; }
  size_t Count() const { return steps_.size(); }

 private:
  // Steps done since the history began, the dropped ones counted: a position survives drops.
  uint64_t Position() const { return dropped_ + applied_; }
  static size_t Cost(const UndoStep& step) { return sizeof(UndoStep) + step.removed.size() + step.inserted.size(); }
  void DropOldest();

  std::deque<UndoStep> steps_;
  size_t applied_ = 0;  // steps_[0..applied_) are done, the rest can be redone
  uint64_t dropped_ = 0;
  size_t bytes_ = 0;
  size_t byteLimit_;
  bool typingOpen_ = false;
  std::optional<uint64_t> savedAt_;
};

}  // namespace kestrix
