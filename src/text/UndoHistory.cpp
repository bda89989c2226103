#include "text/UndoHistory.h"

#include <utility>

namespace kestrix {

void UndoHistory::Undone() {
  if (!CanUndo()) return;
  --applied_;
  typingOpen_ = false;
}

void UndoHistory::Redone() {
  if (!CanRedo()) return;
  ++applied_;
  typingOpen_ = false;
}

void UndoHistory::Push(UndoStep step, bool typing) {
  while (steps_.size() > applied_) {
    bytes_ -= Cost(steps_.back());
    steps_.pop_back();
  }
  // A saved text that only a redo could reach is gone with the redo.
  if (savedAt_ && *savedAt_ > Position()) savedAt_.reset();
  bytes_ += Cost(step);
  steps_.push_back(std::move(step));
  ++applied_;
  typingOpen_ = typing;
  while (bytes_ > byteLimit_ && !steps_.empty()) DropOldest();
}

UndoStep* UndoHistory::OpenTyping() {
  if (!typingOpen_ || applied_ == 0 || applied_ != steps_.size()) return nullptr;
  // The saved text is the one this step leaves: what is typed now is a change of its own.
  if (AtSaved()) return nullptr;
  return &steps_.back();
}

void UndoHistory::JoinTyping(const CString& typed, const EditPlace& after) {
  UndoStep* step = OpenTyping();
  if (!step) return;
  step->inserted += typed;
  step->after = after;
  bytes_ += typed.size();
  while (bytes_ > byteLimit_ && !steps_.empty()) DropOldest();
}

void UndoHistory::DropOldest() {
  if (applied_ == 0) {
    // Only steps to redo are left, and each needs the one before it: none can be kept.
    while (!steps_.empty()) {
      bytes_ -= Cost(steps_.back());
      steps_.pop_back();
    }
    if (savedAt_ && *savedAt_ > Position()) savedAt_.reset();
  } else {
    bytes_ -= Cost(steps_.front());
    steps_.pop_front();
    ++dropped_;
    --applied_;
  }
  if (steps_.empty()) typingOpen_ = false;
}

void UndoHistory::Clear() {
  steps_.clear();
  applied_ = 0;
  dropped_ = 0;
  bytes_ = 0;
  typingOpen_ = false;
  savedAt_.reset();
}

void UndoHistory::SetByteLimit(size_t bytes) {
  byteLimit_ = bytes;
  while (bytes_ > byteLimit_ && !steps_.empty()) DropOldest();
}

}  // namespace kestrix
