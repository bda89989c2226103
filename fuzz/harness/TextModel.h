// The text a run should have, kept apart from the control as a plain string and edited the way
// the steps edit it: a character the control takes replaces the selection, or goes in at the
// caret. Steps whose effect is not that plain leave the model unknown until the next is read
// from the control afresh; every known step must leave the control holding the model's text.
#pragma once

#include <optional>
#include <string>

namespace kestrix {

class CKestrixCtrl;

namespace fuzzing {

class TextModel {
 public:
  // Before a character is sent to the control's window: ch is modelled when the control takes
  // it as text (focused, editable, no limit, no command key down), else the model is unknown.
  void Character(CKestrixCtrl& c, bool focused, unsigned ch);
  // A step the model does not follow.
  void Unknown() {
    text_.reset();
    known_ = false;
  }
  // Starts a step with nothing modelled yet.
  void Before() {
    text_.reset();
    known_ = true;
  }
  // After the step: empty when the control holds the model's text (or nothing was modelled).
  std::string After(CKestrixCtrl& c);

 private:
  std::optional<std::string> text_;
  size_t caret_ = 0;
  bool known_ = true;
};

}  // namespace fuzzing

}  // namespace kestrix
