// The editor's window as screen readers see it: the control's accessible model published on
// the platform's accessibility bus for as long as this object lives.
#pragma once

#include <memory>

#include "Editor.h"

namespace kestrix {

class ScreenReaders {
 public:
  // Publishes when the program was built with a bus to publish on and one can be reached;
  // otherwise does nothing (the reason goes to stderr only when KESTRIX_ACCESS_DEBUG is set).
  explicit ScreenReaders(Editor& editor);
  ~ScreenReaders();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace kestrix
