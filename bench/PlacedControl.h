// What the control benchmarks share: a control placed with a 600-pixel text area on a display
// of its own, and the wall-clock time of a piece of work.
#pragma once

#include <chrono>

#include "control/KestrixCtrl.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace bench {

template <typename Work>
double Seconds(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct PlacedControl {
  Display display{700, 500};
  CWnd container;
  CKestrixCtrl ctrl;
  explicit PlacedControl(bool wordWrap = true) {
    container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 700, 500), nullptr);
    ctrl.ResetProperties();
    ctrl.m_WordWrap = wordWrap ? TRUE : FALSE;
    ctrl.CreateControlWindow(&container, CRect(20, 20, 640, 424));  // a 600-pixel text area
  }
};

}  // namespace bench

}  // namespace kestrix
