// The modal loop of a dialog. It waits on the display's modal wait, so that a host that feeds
// input while a loop waits (a script going on inside it) keeps driving the display; input for
// windows outside the dialog is dropped, as their owner is disabled meanwhile. A window system
// that shows dialogs in windows of their own (the display's dialog runner) may take it instead.
#include <algorithm>

#include "framework/window/Dialog.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

// How long one wait of the loop lasts before it looks again; nothing depends on the value.
constexpr UINT kModalTurnMs = 1000;

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// Puts back the pixels a popup covered, then lets the windows under it paint themselves anew.
void Uncover(Display& d, const CRect& rect, const Surface& saved) {
  Surface& surface = d.GetSurface();
  for (int y = 0; y < saved.Height(); ++y)
    for (int x = 0; x < saved.Width(); ++x) surface.SetPixel(rect.left + x, rect.top + y, saved.Pixel(x, y));
  for (HWND top : d.TopLevelWindows()) {
    CRect overlap;
    if (!overlap.IntersectRect(d.WindowRectOnSurface(top), rect)) continue;
    if (CWnd* window = CWnd::FromHandle(top)) window->UpdateWindow();
  }
}

}  // namespace

INT_PTR CDialog::DoModal() {
  Display* d = Display::CurrentOrNull();
  if (!d || !Template() || Template()->IsChild() || GetSafeHwnd()) return -1;
  if (std::optional<intptr_t> result = d->RunDialogElsewhere(*this)) return *result;
  HWND previousFocus = d->GetFocus();
  // The windows under the dialog as they were, kept to be put back when it goes (its rect is
  // clipped to the screen, as the pixels saved are).
  CRect rect = PopupRect();
  CRect kept;
  kept.IntersectRect(rect, CRect(0, 0, d->GetSurface().Width(), d->GetSurface().Height()));
  Surface saved = d->GetSurface().Crop(kept);
  // The rest of the application takes no input while the dialog runs.
  std::vector<HWND> disabled;
  for (HWND top : d->TopLevelWindows())
    if (CWnd* window = CWnd::FromHandle(top); window && window->IsWindowEnabled()) {
      window->EnableWindow(FALSE);
      disabled.push_back(top);
    }
  INT_PTR result = -1;
  if (CreateDialogWindow(parent_, rect)) {
    SetFocus();
    RunModalLoop();
    result = result_;
    DestroyWindow();
  }
  for (HWND top : disabled)
    if (CWnd* window = CWnd::FromHandle(top)) window->EnableWindow(TRUE);
  if (!kept.IsRectEmpty()) Uncover(*d, kept, saved);
  if (d->IsWindow(previousFocus)) d->SetFocus(previousFocus);
  return result;
}

void CDialog::RunModalLoop() {
  Display* d = Display::Of(m_hWnd);
  const HWND self = m_hWnd;
  inModalLoop_ = true;
  while (!ending_ && d->IsWindow(self)) {
    MSG msg;
    if (d->Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (IsInputMessage(msg.message) && !Contains(msg.hwnd)) continue;
      if (IsDialogMessage(msg)) continue;
      d->Send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      continue;
    }
    // No input can come any more (the host has nothing more to give): the dialog is closed,
    // as a person closing it would. One whose OnCancel keeps it open still cannot wait for
    // input that never comes.
    if (d->WaitForMessage(nullptr, 0, 0, kModalTurnMs) < 0) {
      OnCommand(static_cast<UINT>(IDCANCEL));
      if (!ending_) result_ = IDCANCEL;
      break;
    }
  }
  inModalLoop_ = false;
}

BOOL CDialog::IsDialogMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !Contains(msg.hwnd)) return FALSE;
  if (msg.wParam == static_cast<WPARAM>(VK_RETURN)) {
    CPushButton* button = DefaultButton();
    OnCommand(button ? button->GetDlgCtrlID() : static_cast<UINT>(IDOK));
    return TRUE;
  }
  if (msg.wParam == static_cast<WPARAM>(VK_ESCAPE)) {
    OnCommand(static_cast<UINT>(IDCANCEL));
    return TRUE;
  }
  // A letter or digit presses the button whose label marks it as its access key: the dialog
  // has no item that takes typing.
  const WPARAM key = msg.wParam;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    for (const auto& item : items_)
      if (auto* button = dynamic_cast<CPushButton*>(item.get());
          button && AccessKey(button->Text()) == static_cast<char>(key)) {
        OnCommand(button->GetDlgCtrlID());
        return TRUE;
      }
  }
  return FALSE;
}

}  // namespace kestrix
