// A control placed in a container window on a headless display, with the fixed-metric text
// library, as a host would set it up.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "layout/FixedMetricTextLibrary.h"
#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

class ControlHost {
 public:
  // The control's window rectangle; with its 2-pixel client edge the client area is 4 pixels
  // smaller each way (320 × 200 gives 316 × 196).
  explicit ControlHost(CRect rect = CRect(0, 0, 320, 200));
  ~ControlHost();

  // Replaces the store with the given lines (each may end with a CR) and makes line 1
  // current at index 0.
  void SetLines(std::initializer_list<std::string> lines);

  Display display{800, 600};
  CWnd container;
  FixedMetricTextLibrary library;
  std::unique_ptr<CKestrixCtrl> ctrl;
};

// Where tests write pictures: $KESTRIX_TEST_OUTPUT, or /tmp.
std::string TestOutputPath(const std::string& fileName);

}  // namespace kestrix
