// The control's automation interface: _DKestrix through IDispatch, with the steps each
// property write takes and which of them mark the control modified.
//
// Text crosses the interface through code page 1256. Every byte has a character, so reads
// never lose anything; a write holding a character the code page lacks is refused as a whole
// with DISP_E_TYPEMISMATCH (argument 0) and the control keeps its text, rather than storing
// a '?' the host never wrote.
#include "control/KestrixCtrl.h"
#include "control/TypeLibrary.h"
#include "framework/window/Dialog.h"
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

VARIANT BoolVariant(BOOL value) { return MakeVariantBool(value != FALSE); }

VARIANT ColorVariant(OLE_COLOR color) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;  // as hosts compare colours: a system colour is negative
  v.lVal = static_cast<LONG>(color);
  return v;
}

HRESULT TextVariant(const CString& text, VARIANT* result) {
  result->vt = VT_BSTR;
  result->bstrVal = BstrFromCString(text);
  return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT FontVariant(LPFONTDISP font, VARIANT* result) {
  *result = MakeVariantDispatch(font);
  return S_OK;
}

// A font write takes one of our font objects, or nothing (the stock font).
HRESULT FontFromVariant(const VARIANT& value, LPFONTDISP* font) {
  *font = nullptr;
  if (!value.pdispVal) return S_OK;
  *font = FontObject::FromDispatch(value.pdispVal);
  return *font ? S_OK : DISP_E_TYPEMISMATCH;
}

}  // namespace

// Property writes of the get/set kind ---------------------------------------------------------

void CKestrixCtrl::SetReadOnly(BOOL readOnly) {
  readOnly = readOnly ? TRUE : FALSE;
  if (readOnly == m_ReadOnly) return;
  m_ReadOnly = readOnly;
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::SetPasswordChar(short ch) {
  if (ch == m_PasswordChar) return;
  m_PasswordChar = ch;
  Refresh();
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::SetAlignment(short alignment) {
  if (alignment == m_Alignment) return;
  m_Alignment = alignment;
  Refresh();
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::SetForeColor(OLE_COLOR color) {
  if (color != m_ForeColor) {
    m_ForeColor = color;
    PaintLines(m_FirstVisible, m_LastVisible);
  }
  SetModifiedFlag(TRUE);
}

// The write neither measures nor paints: the metrics follow when the window is next created,
// and a change the held font reports reaches OnFontChanged.
void CKestrixCtrl::SetFontAr(LPFONTDISP font) {
  m_FontAr.InitializeFont(nullptr, font);
  // A font given whole changes the text as a change made on the font object does.
  ApplyNewFonts();
  SetModifiedFlag(TRUE);
}

void CKestrixCtrl::SetFontEn(LPFONTDISP font) {
  m_FontEn.InitializeFont(nullptr, font);
  // A font given whole changes the text as a change made on the font object does.
  ApplyNewFonts();
  SetModifiedFlag(TRUE);
}

// The plain dialog from the module's template, with no parent window; its result means nothing.
void CKestrixCtrl::AboutBox() {
  CDialog dialog(KestrixResources(), IDD_ABOUTBOX_KESTRIX);
  dialog.DoModal();
}

// IDispatch ---------------------------------------------------------------------------------

void* CKestrixCtrl::QueryControlInterface(REFIID riid) {
  return IsEqualGUID(riid, IID_KestrixControlObject) ? this : nullptr;
}

// Descriptions are offered as data (KestrixTypeLibrary), not through type-information
// objects.
HRESULT CKestrixCtrl::Automation::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CKestrixCtrl::Automation::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT CKestrixCtrl::Automation::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                                DISPID* dispids) {
  return DispatchGetIDsOfNames(KestrixDispatchType(), riid, names, count, dispids);
}

HRESULT CKestrixCtrl::Automation::Invoke(DISPID member, REFIID riid, LCID, WORD flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                         UINT* argErr) {
  error_.clear();
  HRESULT hr = DispatchInvoke(KestrixDispatchType(), *this, member, riid, flags, params, result, argErr);
  if (hr == DISP_E_EXCEPTION) {
    // The reason reaches a host that asked for it, as a script host shows it to its person.
    if (excepInfo) {
      *excepInfo = EXCEPINFO{};
      excepInfo->scode = CTL_E_INVALIDPROPERTYVALUE;
      excepInfo->bstrSource = BstrFromCString("Kestrix");
      excepInfo->bstrDescription = BstrFromCString(error_);
    }
    error_.clear();
  }
  return hr;
}

HRESULT CKestrixCtrl::Automation::GetProperty(DISPID dispid, VARIANT* result) {
  CKestrixCtrl& c = owner_;
  switch (dispid) {
    case kDispMultiLines: *result = BoolVariant(c.m_MultiLines); return S_OK;
    case kDispMaxLength: *result = MakeVariantI4(c.m_MaxLength); return S_OK;
    case kDispWordWrap: *result = BoolVariant(c.m_WordWrap); return S_OK;
    case kDispModified: *result = BoolVariant(c.m_Modified); return S_OK;
    case kDispStyle: *result = MakeVariantI2(c.m_Style); return S_OK;
    case kDispScrollBars: *result = MakeVariantI2(c.m_ScrollBars); return S_OK;
    case kDispHideSelection: *result = BoolVariant(c.m_HideSelection); return S_OK;
    case kDispWantReturn: *result = BoolVariant(c.m_WantReturn); return S_OK;
    case kDispReadingOrder: *result = MakeVariantI2(c.GetReadingOrder()); return S_OK;
    case kDispReadOnly: *result = BoolVariant(c.m_ReadOnly); return S_OK;
    case kDispFontAr: return FontVariant(c.GetFontAr(), result);
    case kDispFontEn: return FontVariant(c.GetFontEn(), result);
    case kDispPasswordChar: *result = MakeVariantI2(c.m_PasswordChar); return S_OK;
    case kDispAlignment: *result = MakeVariantI2(c.m_Alignment); return S_OK;
    case kDispSelLength: *result = MakeVariantI4(static_cast<LONG>(c.GetSelLength())); return S_OK;
    case kDispSelStart: *result = MakeVariantI4(static_cast<LONG>(c.GetSelStart())); return S_OK;
    case kDispVisualCaret: *result = BoolVariant(c.m_VisualCaret); return S_OK;
    case kDispCanUndo: *result = BoolVariant(c.CanUndo()); return S_OK;
    case kDispCanRedo: *result = BoolVariant(c.CanRedo()); return S_OK;
    case kDispStandardEditing: *result = BoolVariant(c.m_StandardEditing); return S_OK;
    case DISPID_BACKCOLOR: *result = ColorVariant(c.m_BackColor); return S_OK;
    case DISPID_FORECOLOR: *result = ColorVariant(c.m_ForeColor); return S_OK;
    case DISPID_TEXT: return TextVariant(c.GetText(), result);
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT CKestrixCtrl::Automation::PutProperty(DISPID dispid, const VARIANT& value) {
  CKestrixCtrl& c = owner_;
  const BOOL flag = value.boolVal ? TRUE : FALSE;
  switch (dispid) {
    // Stored members: store, then the steps that follow, whatever the old value was.
    case kDispMultiLines:
      c.m_MultiLines = flag;
      c.Refresh();
      break;
    case kDispMaxLength: c.m_MaxLength = value.lVal; break;
    case kDispWordWrap:
      c.m_WordWrap = flag;
      c.Refresh();
      break;
    case kDispModified: c.m_Modified = flag; break;
    case kDispStyle: c.m_Style = value.iVal; break;
    case kDispScrollBars: c.m_ScrollBars = value.iVal; break;
    case kDispHideSelection: c.SetHideSelection(flag); break;
    case kDispWantReturn: c.m_WantReturn = flag; break;
    case kDispStandardEditing: c.m_StandardEditing = flag; break;
    case DISPID_BACKCOLOR:
      c.m_BackColor = value.ulVal;
      c.OnBackColorChanged();
      return S_OK;
    // Through the control's own writes, which decide what marks modified.
    case kDispReadingOrder: c.SetReadingOrder(value.iVal); return S_OK;
    case kDispReadOnly: c.SetReadOnly(flag); return S_OK;
    case kDispPasswordChar: c.SetPasswordChar(value.iVal); return S_OK;
    case kDispAlignment: c.SetAlignment(value.iVal); return S_OK;
    case kDispSelLength: c.SetSelLength(value.lVal); return S_OK;
    case kDispSelStart: c.SetSelStart(value.lVal); return S_OK;
    case kDispVisualCaret: c.SetVisualCaret(flag); return S_OK;
    case DISPID_FORECOLOR: c.SetForeColor(value.ulVal); return S_OK;
    case kDispFontAr:
    case kDispFontEn: {
      LPFONTDISP font = nullptr;
      HRESULT hr = FontFromVariant(value, &font);
      if (FAILED(hr)) return hr;
      if (dispid == kDispFontAr)
        c.SetFontAr(font);
      else
        c.SetFontEn(font);
      return S_OK;
    }
    case DISPID_TEXT: {
      // A text that still holds a character with no place in the code page is refused whole,
      // and the host is told which character and where: nothing of it is written.
      CodePageText text = CodePageTextFromBstr(value.bstrVal);
      if (!text.Complete()) {
        error_ = "The text was not written: " + text.unplaced->Describe() +
                 " has no place in the Arabic code page (1256).";
        return DISP_E_EXCEPTION;
      }
      c.SetText(text.bytes);
      return S_OK;
    }
    default: return DISP_E_MEMBERNOTFOUND;
  }
  c.SetModifiedFlag(TRUE);
  return S_OK;
}

HRESULT CKestrixCtrl::Automation::CallMethod(DISPID dispid, VARIANT* args, VARIANT* result) {
  CKestrixCtrl& c = owner_;
  switch (dispid) {
    case kDispSelectAll: c.SelectAll(); return S_OK;
    case kDispClear: c.Clear(); return S_OK;
    case kDispUndo: c.Undo(); return S_OK;
    case kDispRedo: c.Redo(); return S_OK;
    case kDispSelText:
      c.SelText();
      return TextVariant(c.m_SelText, result);
    case kDispActivateEdit:
      c.ActivateEdit(WideFromBstr(args[0].bstrVal), WideFromBstr(args[1].bstrVal));
      *result = MakeVariantBool(true);
      return S_OK;
    case DISPID_REFRESH: c.Refresh(); return S_OK;
    case DISPID_ABOUTBOX: c.AboutBox(); return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace kestrix
