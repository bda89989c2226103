#include "TextModel.h"

#include "control/KestrixCtrl.h"
#include "control/Observation.h"

namespace kestrix {

namespace fuzzing {

void TextModel::Character(CKestrixCtrl& c, bool focused, unsigned ch) {
  if (!known_) return;
  const ControlObservation observed(c);
  const ObservedActivity activity = observed.Activity();
  const bool taken = focused && c.GetSafeHwnd() && observed.LineCount() > 0 && !c.m_ReadOnly &&
                     c.m_MaxLength <= 0 && ch >= 0x20 && ch <= 0xFF && !activity.selecting &&
                     !activity.mouseDown && !CKestrixCtrl::IsCtrlDown() &&
                     !(CKestrixCtrl::IsShiftDown() && ch == '-');
  if (!taken) {
    Unknown();
    return;
  }
  if (!text_) {
    // The first character replaces the selection; the next ones follow it.
    const CKestrixCtrl::EditRange range = c.SelectionRange();
    const std::string whole = c.GetText();
    text_ = whole.substr(0, static_cast<size_t>(range.start)) + whole.substr(static_cast<size_t>(range.end));
    caret_ = static_cast<size_t>(range.start);
  }
  text_->insert(caret_++, 1, static_cast<char>(ch));
}

std::string TextModel::After(CKestrixCtrl& c) {
  if (!known_ || !text_ || !c.GetSafeHwnd()) return "";
  const std::string held = c.GetText();
  if (held == *text_) return "";
  size_t at = 0;
  while (at < held.size() && at < text_->size() && held[at] == (*text_)[at]) ++at;
  return "the text is " + std::to_string(held.size()) + " bytes, the same edits give " +
         std::to_string(text_->size()) + ", first differing at " + std::to_string(at);
}

}  // namespace fuzzing

}  // namespace kestrix
