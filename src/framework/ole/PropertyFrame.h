// The frame a control's Properties verb opens: a modal dialog titled "<object> Properties"
// with a tab for each page, the active page inside, and OK, Cancel and Apply.
#pragma once

#include <string>
#include <vector>

#include "framework/ole/COlePropertyPage.h"
#include "framework/window/Dialog.h"

inline constexpr UINT ID_APPLY_NOW = 0x3021;

class CPropertyFrame : public CDialog {
 public:
  // The pages must outlive the frame; the first is shown.
  CPropertyFrame(const std::string& objectName, std::vector<COlePropertyPage*> pages, CWnd* owner = nullptr);

  // Runs the frame; the pages are inactive again when it returns. IDOK when the pages were
  // applied and closed with OK, IDCANCEL otherwise.
  INT_PTR DoModal() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCommand(UINT id) override;

  COlePropertyPage* ActivePage() const { return active_; }
  // Where the page stands, in the frame's client coordinates.
  CRect PageRect() const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintTabs();

  std::vector<COlePropertyPage*> pages_;
  COlePropertyPage* active_ = nullptr;
};
