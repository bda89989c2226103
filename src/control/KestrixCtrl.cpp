#include "control/KestrixCtrl.h"

#include "control/Defaults.h"

const IID IID_DKestrix = {0x5B1E2C70, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
const IID IID_DKestrixEvents = {0x5B1E2C71, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};

CKestrixCtrl::CKestrixCtrl(TextLibrary& library)
    : m_FontAr(this), m_FontEn(this), m_TextLib(&library) {
  InitializeIIDs(&IID_DKestrix, &IID_DKestrixEvents);
}

CKestrixCtrl::~CKestrixCtrl() {
  if (m_hWnd) DestroyWindow();
  m_FontEn.ReleaseFont();
  m_FontAr.ReleaseFont();
  m_PositionStack.clear();
  m_Lines.Clear();
}

BSTR CKestrixCtrl::GetTextProperty() { return BstrFromCp1256(GetText()); }

void CKestrixCtrl::OnResetState() { COleControl::OnResetState(); }

void CKestrixCtrl::DoPropExchange(CPropExchange* px) {
  px->ExchangeVersion(m_dwVersionLoaded, kPersistedVersion, TRUE);
  COleControl::DoPropExchange(px);

  FONTDESC arabic = DefaultFontDesc(kDefaultArabicFace);
  FONTDESC latin = DefaultFontDesc(kDefaultLatinFace);
  PX_Font(px, "FontAr", m_FontAr, &arabic);
  PX_Font(px, "FontEn", m_FontEn, &latin);
  PX_Bool(px, "WordWrap", m_WordWrap, TRUE);
  PX_Bool(px, "WantTabs", m_WantTabs, FALSE);
  PX_Bool(px, "Modified", m_Modified, FALSE);
  PX_Bool(px, "ReadOnly", m_ReadOnly, FALSE);
  PX_Bool(px, "WantReturn", m_WantReturn, TRUE);
  PX_Bool(px, "MultiLines", m_MultiLines, TRUE);
  PX_Bool(px, "HideSelection", m_HideSelection, TRUE);
  PX_Short(px, "Style", m_Style, 1);
  PX_Short(px, "ScrollBars", m_ScrollBars, 3);
  PX_Short(px, "Alignment", m_Alignment, 2);
  PX_Short(px, "ReadingOrder", m_ReadingOrder, 1);
  PX_Short(px, "PasswordChar", m_PasswordChar, 0);
  PX_String(px, "m_SelText", m_SelText, "");
  PX_String(px, "m_Text", m_Text, "");
  PX_Long(px, "MaxLength", m_MaxLength, 0);
  auto foreColor = static_cast<LONG>(m_ForeColor);
  PX_Long(px, "ForeColor", foreColor, 0);
  m_ForeColor = static_cast<OLE_COLOR>(foreColor);
  auto backColor = static_cast<LONG>(m_BackColor);
  PX_Long(px, "BackColor", backColor, 0xFFFFFF);
  m_BackColor = static_cast<OLE_COLOR>(backColor);

  SetBackColor(0xFFFFFF);
}

void CKestrixCtrl::SetText(const CString& text) {
  m_Text = text;
  RebuildText(text, -1);
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::SetTextProperty(const BSTR& text) { SetText(Cp1256FromBstr(text)); }

void CKestrixCtrl::OnBackColorChanged() {
  PaintLines(m_FirstVisible, m_LastVisible);
  SetModifiedFlag(TRUE);
}
