// The base of a control's property page: a child dialog built from a template, with a caption
// for the tab that shows it. The host (a property frame) asks for its size, activates it
// inside a window of its own and deactivates it; applying runs the page's data exchange.
#pragma once

#include <memory>
#include <string>

#include "../resource/ResourceTable.h"
#include "../window/Dialog.h"

namespace kestrix {

// One data exchange between a page's items and the properties of the objects it edits.
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: from the items to the properties
  // Set by the post-processing that ends every exchange of a page.
  bool postProcessed = false;
};

class COlePropertyPage {
 public:
  // The page from dialog templateId of the module's resources, its caption string captionId.
  COlePropertyPage(const ResourceTable& resources, UINT templateId, UINT captionId);
  virtual ~COlePropertyPage();
  COlePropertyPage(const COlePropertyPage&) = delete;
  COlePropertyPage& operator=(const COlePropertyPage&) = delete;

  UINT TemplateId() const { return templateId_; }
  const std::string& Caption() const { return caption_; }
  // The page's size in pixels, from its template and its font.
  CSize PageSize() const;

  // Creates the page's dialog inside parent at rect (parent's client coordinates) and fills
  // its items from the properties. FALSE when the page is already active, parent is no window
  // of ours or the template is missing.
  BOOL Activate(HWND parent, const RECT& rect);
  // Destroys the page's dialog; the page can be activated again.
  void Deactivate();
  bool IsActive() const;
  // The page's dialog while it is active, or null.
  CDialog* PageDialog() const { return active_ ? dialog_.get() : nullptr; }

  // Runs the data exchange: TRUE writes the items to the properties (Apply), FALSE fills the
  // items from them.
  BOOL UpdateData(BOOL saveAndValidate);
  // Writes the page's items to the properties, as the frame's OK and Apply do.
  void Apply() { UpdateData(TRUE); }

 protected:
  // The page's exchange; a page lists its bindings and ends with DDP_PostProcessing.
  virtual void DoDataExchange(CDataExchange* dx);
  // Ends a page's exchange: what the bindings gathered is written to the properties.
  void DDP_PostProcessing(CDataExchange* dx);

 private:
  const ResourceTable& resources_;
  UINT templateId_;
  std::string caption_;
  std::unique_ptr<CDialog> dialog_;
  bool active_ = false;
};

}  // namespace kestrix
