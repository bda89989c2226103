// The find bar: a strip at the foot of the editor's window with the text to find (a one-line
// control of its own), Next and Previous, and the two options as buttons that turn on and off.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "TextSearch.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Dialog.h"

namespace kestrix {

class FindBar {
 public:
  static constexpr int kHeight = 32;
  // find is called with true for the next match, false for the previous one; close when the
  // bar's Close button is pressed.
  FindBar(CWnd& container, std::function<void(bool forward)> find, std::function<void()> close);
  ~FindBar();

  // Shows the bar over the strip (client coordinates of the container), made on first use.
  void Show(const CRect& strip, LPFONTDISP arabicFont, LPFONTDISP latinFont);
  void Hide();
  bool Shown() const { return shown_; }

  std::string Pattern() { return field_ ? std::string(field_->GetText()) : std::string(); }
  const SearchOptions& Options() const { return options_; }
  void ToggleMatchCase();
  void ToggleIgnoreMarks();
  CKestrixCtrl* Field() { return field_.get(); }

 private:
  class Strip;
  void ShowOptions();

  CWnd& container_;
  std::function<void(bool)> find_;
  std::function<void()> close_;
  std::unique_ptr<Strip> strip_;
  std::unique_ptr<CKestrixCtrl> field_;
  SearchOptions options_;
  bool shown_ = false;
};

}  // namespace kestrix
