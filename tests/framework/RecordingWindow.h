// A window that writes down the messages it handles, for tests of delivery and order.
#pragma once

#include <string>
#include <vector>

#include "framework/window/CScrollBar.h"
#include "framework/window/CWnd.h"
#include "framework/window/Display.h"

namespace kestrix {

struct Received {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class RecordingWindow : public CWnd {
 public:
  // Every message is recorded, then handled as CWnd would.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    received.push_back({message, wParam, lParam});
    return CWnd::WindowProc(message, wParam, lParam);
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> out;
    for (const Received& r : received) out.push_back(r.message);
    return out;
  }
  // The messages of the given kinds only, in order.
  std::vector<Received> Only(std::initializer_list<UINT> kinds) const {
    std::vector<Received> out;
    for (const Received& r : received)
      for (UINT k : kinds)
        if (r.message == k) out.push_back(r);
    return out;
  }

  std::vector<Received> received;
};

// A top-level window at rect, visible.
inline bool CreateTop(CWnd& w, const CRect& rect, DWORD exStyle = 0, DWORD style = 0) {
  return w.CreateEx(exStyle, WS_VISIBLE | style, rect, nullptr) == TRUE;
}

inline bool CreateChild(CWnd& w, CWnd& parent, const CRect& rect, DWORD exStyle = 0,
                        DWORD style = 0) {
  return w.CreateEx(exStyle, WS_CHILD | WS_VISIBLE | style, rect, &parent) == TRUE;
}

}  // namespace kestrix
