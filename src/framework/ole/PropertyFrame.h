// The frame a control's Properties verb opens: a modal dialog titled "<object> Properties"
// with a tab for each page, the active page inside, and OK, Cancel and Apply.
#pragma once

#include <string>
#include <vector>

#include "PropertyPage.h"
#include "../window/Dialog.h"

namespace kestrix {

inline constexpr UINT ID_APPLY_NOW = 0x3021;

class CPropertyFrame : public CDialog {
 public:
  // The pages are held (AddRef) while the frame lives; the first is shown.
  CPropertyFrame(const std::string& objectName, std::vector<IPropertyPage*> pages, CWnd* owner = nullptr);
  ~CPropertyFrame() override;

  // Runs the frame; the pages are inactive again when it returns. IDOK when the pages were
  // applied and closed with OK, IDCANCEL otherwise.
  INT_PTR DoModal() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCommand(UINT id) override;

  IPropertyPage* ActivePage() const { return active_; }
  // Where the page stands, in the frame's client coordinates.
  CRect PageRect() const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintTabs();

  struct Page {
    IPropertyPage* page;
    PROPPAGEINFO info;
  };
  std::vector<Page> pages_;
  IPropertyPage* active_ = nullptr;
};

// What a Properties verb does: gives each page the objects to edit, runs the frame over them,
// and takes the objects back. IDOK when the pages were applied and closed with OK.
INT_PTR ShowPropertyFrame(CWnd* owner, const std::string& objectName, const std::vector<IPropertyPage*>& pages,
                          const std::vector<IUnknown*>& objects);

}  // namespace kestrix
