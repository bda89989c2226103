#include "control/KestrixCtrl.h"

#include "control/Defaults.h"

namespace kestrix {

CKestrixCtrl::CKestrixCtrl(TextLibrary& library)
    : m_FontAr(this), m_FontEn(this), m_TextLib(&library) {
  InitializeIIDs(&IID_DKestrix, &IID_DKestrixEvents);
  // Lines without a strong character run the way this control reads, in whichever library.
  m_TextLib->FollowReadingOrder(&m_ReadingOrder, true);
  // Usable from the moment it exists: a script host creates the control by name and never
  // asks for InitNew or Load, so the defaults and both fonts are set here, and InitNew or Load
  // then sets them again.
  OnResetState();
}

CKestrixCtrl::~CKestrixCtrl() {
  if (m_hWnd) DestroyWindow();
  m_TextLib->FollowReadingOrder(&m_ReadingOrder, false);
  m_FontEn.ReleaseFont();
  m_FontAr.ReleaseFont();
  m_PositionStack.clear();
  m_Lines.Clear();
}

bool CKestrixCtrl::UseTextLibrary(TextLibrary& library) {
  if (m_hWnd) return false;
  m_TextLib->FollowReadingOrder(&m_ReadingOrder, false);
  m_TextLib = &library;
  m_TextLib->FollowReadingOrder(&m_ReadingOrder, true);
  return true;
}

WideString CKestrixCtrl::GetTextProperty() { return BstrFromCp1256(GetText()); }

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
  if (px->GetMode() == CPropExchange::Mode::Save) {
    CString text = SavedText();
    PX_String(px, "m_Text", text, "");
  } else {
    // Another document, or none: its history starts here.
    m_History.Clear();
    m_ChangedBesideText = false;
    SetTextSnapshot(CString());
    PX_String(px, "m_Text", m_Text, "");
    // A loaded text reaches the store only with the font notification.
    m_DocumentText = TextSnapshot();
    m_DocumentTextShown.reset();
    m_DocumentShownWhole = false;
  }
  PX_Long(px, "MaxLength", m_MaxLength, 0);
  auto foreColor = static_cast<LONG>(m_ForeColor);
  PX_Long(px, "ForeColor", foreColor, 0);
  m_ForeColor = static_cast<OLE_COLOR>(foreColor);
  auto backColor = static_cast<LONG>(m_BackColor);
  PX_Long(px, "BackColor", backColor, 0xFFFFFF);
  m_BackColor = static_cast<OLE_COLOR>(backColor);
  PX_Bool(px, "VisualCaret", m_VisualCaret, FALSE);
  PX_Bool(px, "StandardEditing", m_StandardEditing, FALSE);

  SetBackColor(0xFFFFFF);
}

CString CKestrixCtrl::SavedText() {
  // Typing does not refresh the snapshot, so what the store holds is saved once it differs
  // from what the host's text made of it; until then the host's text goes back whole.
  // An empty store that has not yet taken the host's text leaves that text in the snapshot.
  CString text = GetText();
  if (!m_DocumentTextShown) return text.empty() ? TextSnapshot() : text;
  return text == *m_DocumentTextShown ? m_DocumentText : text;
}

void CKestrixCtrl::SetText(const CString& text) {
  RecordedEdit edit(*this, EditKind::Other);
  const CString before = GetText();
  SetTextSnapshot(text);
  m_DocumentText = text;
  m_DocumentTextShown.reset();
  m_DocumentShownWhole = false;
  RebuildText(text, -1);
  NoteReplaced(0, before, GetText());
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::NoteTextEdited() { COleControl::SetModifiedFlag(TRUE); }

void CKestrixCtrl::SetTextProperty(const WideString& text) { SetText(Cp1256FromBstr(text)); }

void CKestrixCtrl::OnBackColorChanged() {
  // The one-pixel rows between the lines' bands belong to no line: the whole client area takes
  // the new colour first, as a full repaint would give it.
  if (m_hWnd && m_Busy == 0) {
    if (CDC* dc = GetDC()) {
      CRect client;
      GetClientRect(&client);
      CBrush brush(m_BackColor);
      dc->FillRect(&client, &brush);
      brush.DeleteObject();
      ReleaseDC(dc);
    }
  }
  PaintLines(m_FirstVisible, m_LastVisible);
  SetModifiedFlag(TRUE);
}

}  // namespace kestrix
