// Dialogs built from templates: a window whose items are child windows placed in dialog
// units. A modal dialog runs its own message loop on the display's modal wait, so that a host
// goes on giving input while it is up; a child dialog (a property page) lives inside a window
// of its host.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../gdi/DialogFont.h"
#include "../gdi/Surface.h"
#include "../resource/ResourceTable.h"
#include "CWnd.h"
#include "DialogItems.h"

namespace kestrix {

using INT_PTR = intptr_t;

class CDialog : public CWnd {
 public:
  // A dialog from template id of a module's resources (which also hold its icons); the
  // resources must outlive the dialog. parent is the owner of a modal dialog, the parent of a
  // child one, or null.
  CDialog(const ResourceTable& resources, UINT templateId, CWnd* parent = nullptr);
  // A dialog from a template of its own; icons, if any, come from resources.
  explicit CDialog(DialogTemplate dialog, const ResourceTable* resources = nullptr, CWnd* parent = nullptr);
  ~CDialog() override;

  // Shows the dialog and runs it until EndDialog; answers the result given to EndDialog, or -1
  // when the dialog could not be shown (no such template, no display). Meanwhile the other
  // top-level windows are disabled, and the keyboard is the dialog's. The display's dialog
  // runner, when it takes the dialog, shows it instead and gives the result.
  virtual INT_PTR DoModal();
  // Ends a modal dialog with result once the current message is handled; a modeless one is
  // hidden.
  void EndDialog(int result);

  // A modeless or child dialog: a child at rect in parent's client area (at the template's
  // position when rect is null), a popup at rect on the screen (centred on its owner when null).
  BOOL Create(CWnd* parent, const RECT* rect = nullptr);

  // Hooks.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // A command from an item: IDOK and IDCANCEL go to OnOK and OnCancel; in a modal dialog any
  // other button ends the dialog with its identifier.
  virtual void OnCommand(UINT id);

  // The template, or null when the resources have none of the identifier.
  const DialogTemplate* Template() const { return template_.get(); }
  // Where the template came from: the resources and identifier it was found under, or null
  // and 0 for a template of the dialog's own.
  const ResourceTable* TemplateResources() const { return templateId_ ? resources_ : nullptr; }
  UINT TemplateId() const { return templateId_; }
  const std::string& Title() const;
  // The base units of the dialog's font, and a template rectangle in pixels.
  DialogBaseUnits BaseUnits() const;
  CRect MapDialogRect(const DialogUnitRect& rect) const;
  // The size of the client area in pixels, from the template.
  CSize ClientSize() const;

  // Items, in template order.
  const std::vector<std::unique_ptr<CDialogItem>>& Items() const { return items_; }
  CDialogItem* GetDlgItem(UINT id) const;
  // The button whose label (access-key marks left out) reads text, regardless of case; or null.
  CPushButton* FindButton(const std::string& text) const;
  CPushButton* DefaultButton() const;

  bool IsModalLoopRunning() const { return inModalLoop_; }
  // Whether hwnd is this dialog's window or lies inside it.
  bool Contains(HWND hwnd) const;
  // Return presses the default button and Escape cancels. TRUE when the message was the
  // dialog's to handle.
  BOOL IsDialogMessage(const MSG& msg);

  // Dialogs whose window is open, oldest first; the topmost is the last that is not a child.
  static std::vector<CDialog*> OpenDialogs();
  static CDialog* TopmostDialog();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  const ResourceTable* Resources() const { return resources_; }
  // The dialog's font while its window is open.
  const DialogFont* Font() const { return font_.get(); }

 private:
  // The window rectangle of a popup dialog: centred over its owner's top-level window, or over
  // the window holding the keyboard, or the screen; kept on the screen.
  CRect PopupRect() const;
  BOOL CreateDialogWindow(CWnd* parent, const CRect& rect);
  void CreateItems();
  void RunModalLoop();
  void PaintCaption();
  CRect CloseBoxRect() const;  // in client coordinates (the caption lies above 0)

  const ResourceTable* resources_ = nullptr;
  UINT templateId_ = 0;
  std::unique_ptr<DialogTemplate> template_;
  CWnd* parent_ = nullptr;
  std::shared_ptr<const DialogFont> font_;
  std::vector<std::unique_ptr<CDialogItem>> items_;
  bool inModalLoop_ = false;
  bool ending_ = false;
  int result_ = -1;
  bool closeBoxDown_ = false;
};

}  // namespace kestrix
