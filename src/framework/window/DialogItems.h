// The items of a dialog, each a child window of it: static text, an icon, push buttons.
#pragma once

#include <memory>
#include <string>

#include "../gdi/DialogFont.h"
#include "../resource/DialogTemplate.h"
#include "../resource/ImageResource.h"
#include "CWnd.h"

namespace kestrix {

class CDC;

// The notification a button sends with WM_COMMAND when it is clicked.
inline constexpr WORD BN_CLICKED = 0;

// The colours the framework draws its dialogs in.
inline constexpr COLORREF kDialogFaceColor = RGB(240, 240, 240);
inline constexpr COLORREF kDialogTextColor = RGB(0, 0, 0);
inline constexpr COLORREF kDialogLightColor = RGB(255, 255, 255);
inline constexpr COLORREF kDialogShadowColor = RGB(160, 160, 160);
inline constexpr COLORREF kDialogDarkShadowColor = RGB(105, 105, 105);

class CDialogItem : public CWnd {
 public:
  CDialogItem(DialogItemTemplate item, std::shared_ptr<const DialogFont> font);
  // Creates the item's window inside the dialog, at rect in its client coordinates.
  BOOL Create(CWnd& dialog, const RECT& rect);

  const DialogItemTemplate& Template() const { return item_; }
  UINT GetDlgCtrlID() const { return item_.id; }
  const std::string& Text() const { return item_.text; }
  // A new label, shown at once.
  void SetText(const std::string& text) {
    item_.text = text;
    if (m_hWnd) UpdateWindow();
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  virtual void Paint(CDC& dc, const CRect& client) = 0;
  const DialogFont& Font() const { return *font_; }

 private:
  DialogItemTemplate item_;
  std::shared_ptr<const DialogFont> font_;
};

// Left-aligned text, wrapped at blanks within the item's width.
class CStaticText : public CDialogItem {
 public:
  using CDialogItem::CDialogItem;

 protected:
  void Paint(CDC& dc, const CRect& client) override;
};

// An icon at its own size, its transparent parts showing the dialog's face.
class CIconItem : public CDialogItem {
 public:
  CIconItem(DialogItemTemplate item, std::shared_ptr<const DialogFont> font, const ImageResource* icon);
  const ImageResource* Icon() const { return icon_; }

 protected:
  void Paint(CDC& dc, const CRect& client) override;

 private:
  const ImageResource* icon_;
};

// A push button: pressed while the left button is held on it, clicked when the button is let
// go over it, which sends WM_COMMAND (its identifier, BN_CLICKED) to the dialog.
class CPushButton : public CDialogItem {
 public:
  using CDialogItem::CDialogItem;
  bool IsDefault() const { return Template().kind == DialogItemKind::DefaultPushButton; }
  bool IsPressed() const { return pressed_; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void Paint(CDC& dc, const CRect& client) override;

 private:
  void SetPressed(bool pressed);
  bool tracking_ = false;  // the left button went down on the button and is still held
  bool pressed_ = false;
};

// The label of a button or text as a person reads it: without the "&" of an access key.
std::string VisibleLabel(const std::string& text);
// The access key a label marks with "&", as an upper-case letter or digit; 0 when none.
char AccessKey(const std::string& text);

}  // namespace kestrix
