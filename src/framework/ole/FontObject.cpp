#include "framework/ole/FontObject.h"

#include <algorithm>

namespace kestrix {

FontObject::FontObject(const FONTDESC& desc)
    : name_(desc.lpstrName ? desc.lpstrName : L""),
      size_(desc.cySize),
      weight_(desc.sWeight),
      charset_(desc.sCharset),
      italic_(desc.fItalic ? TRUE : FALSE),
      underline_(desc.fUnderline ? TRUE : FALSE),
      strikethrough_(desc.fStrikethrough ? TRUE : FALSE) {}

FontObject::FontObject(const FontObject& other)
    : Object(),
      DispatchTarget(),
      name_(other.name_),
      size_(other.size_),
      weight_(other.weight_),
      charset_(other.charset_),
      italic_(other.italic_),
      underline_(other.underline_),
      strikethrough_(other.strikethrough_) {}

long FontObject::get_Name(WideString* name) const {
  if (!name) return -1;
  *name = name_;
  return 0;
}
long FontObject::get_Size(CY* size) const {
  if (!size) return -1;
  *size = size_;
  return 0;
}
long FontObject::get_Bold(BOOL* bold) const {
  if (!bold) return -1;
  *bold = weight_ >= 600 ? TRUE : FALSE;
  return 0;
}
long FontObject::get_Italic(BOOL* italic) const {
  if (!italic) return -1;
  *italic = italic_;
  return 0;
}
long FontObject::get_Underline(BOOL* underline) const {
  if (!underline) return -1;
  *underline = underline_;
  return 0;
}
long FontObject::get_Strikethrough(BOOL* strike) const {
  if (!strike) return -1;
  *strike = strikethrough_;
  return 0;
}
long FontObject::get_Weight(short* weight) const {
  if (!weight) return -1;
  *weight = weight_;
  return 0;
}
long FontObject::get_Charset(short* charset) const {
  if (!charset) return -1;
  *charset = charset_;
  return 0;
}

long FontObject::put_Name(const WideString& name) {
  name_ = name;
  Notify();
  return 0;
}
long FontObject::put_Size(CY size) {
  size_ = size;
  Notify();
  return 0;
}
long FontObject::put_Bold(BOOL bold) {
  weight_ = bold ? 700 : 400;
  Notify();
  return 0;
}
long FontObject::put_Italic(BOOL italic) {
  italic_ = italic ? TRUE : FALSE;
  Notify();
  return 0;
}
long FontObject::put_Underline(BOOL underline) {
  underline_ = underline ? TRUE : FALSE;
  Notify();
  return 0;
}
long FontObject::put_Strikethrough(BOOL strike) {
  strikethrough_ = strike ? TRUE : FALSE;
  Notify();
  return 0;
}
long FontObject::put_Weight(short weight) {
  weight_ = weight;
  Notify();
  return 0;
}
long FontObject::put_Charset(short charset) {
  charset_ = charset;
  Notify();
  return 0;
}

std::shared_ptr<FontObject> FontObject::Clone() const {
  // A copy starts with no listeners and no references.
  return std::make_shared<FontObject>(*this);
}

void FontObject::Advise(FontNotifySink* sink) {
  if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void FontObject::Unadvise(FontNotifySink* sink) {
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

bool FontObject::IsEqual(const FontObject& o) const {
  return name_ == o.name_ && size_ == o.size_ && weight_ == o.weight_ && charset_ == o.charset_ &&
         italic_ == o.italic_ && underline_ == o.underline_ && strikethrough_ == o.strikethrough_;
}

void FontObject::Notify() {
  // A sink may unadvise while being told; walk a copy.
  std::vector<FontNotifySink*> sinks = sinks_;
  for (FontNotifySink* sink : sinks) sink->OnFontObjectChanged(this);
}

CFontHolder::CFontHolder(FontNotifySink* sink) : sink_(sink) {}

CFontHolder::~CFontHolder() { ReleaseFont(); }

void CFontHolder::InitializeFont(const FONTDESC* desc, LPFONTDISP fontDisp) {
  std::shared_ptr<FontObject> next;
  if (fontDisp) {
    next = fontDisp->Clone();
  } else if (desc) {
    next = std::make_shared<FontObject>(*desc);
  } else {
    FONTDESC stock;
    stock.lpstrName = L"MS Sans Serif";
    stock.cySize = 80000;
    next = std::make_shared<FontObject>(stock);
  }
  ReleaseFont();
  font_ = std::move(next);
  if (sink_) font_->Advise(sink_);
}

void CFontHolder::ReleaseFont() {
  if (font_ && sink_) font_->Unadvise(sink_);
  font_.reset();
}

// Dispatch ------------------------------------------------------------------------------------

const TypeDesc& FontObject::DispatchType() {
  static const TypeDesc kFont = {
      "Font",
      TypeKind::Dispatch,
      IID_IFontDisp,
      "Font object",
      TYPEFLAG_FDISPATCHABLE,
      {
          {DISPID_FONT_NAME, "Name", MemberKind::Property, VT_BSTR, "BSTR", {}},
          {DISPID_FONT_SIZE, "Size", MemberKind::Property, VT_CY, "CURRENCY", {}},
          {DISPID_FONT_BOLD, "Bold", MemberKind::Property, VT_BOOL, "VARIANT_BOOL", {}},
          {DISPID_FONT_ITALIC, "Italic", MemberKind::Property, VT_BOOL, "VARIANT_BOOL", {}},
          {DISPID_FONT_UNDER, "Underline", MemberKind::Property, VT_BOOL, "VARIANT_BOOL", {}},
          {DISPID_FONT_STRIKE, "Strikethrough", MemberKind::Property, VT_BOOL, "VARIANT_BOOL", {}},
          {DISPID_FONT_WEIGHT, "Weight", MemberKind::Property, VT_I2, "short", {}},
          {DISPID_FONT_CHARSET, "Charset", MemberKind::Property, VT_I2, "short", {}},
      },
      {}};
  return kFont;
}

FontObject* FontObject::FromDispatch(IDispatch* object) {
  if (!object) return nullptr;
  void* font = nullptr;
  if (FAILED(object->QueryInterface(IID_IFontDisp, &font)) || !font) return nullptr;
  auto* result = static_cast<FontObject*>(static_cast<IDispatch*>(font));
  result->Release();
  return result;
}

HRESULT FontObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT FontObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT FontObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                  DISPID* dispids) {
  return DispatchGetIDsOfNames(DispatchType(), riid, names, count, dispids);
}

HRESULT FontObject::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO*, UINT* argErr) {
  return DispatchInvoke(DispatchType(), *this, member, riid, flags, params, result, argErr);
}

HRESULT FontObject::GetProperty(DISPID dispid, VARIANT* result) {
  switch (dispid) {
    case DISPID_FONT_NAME:
      result->vt = VT_BSTR;
      result->bstrVal = BstrFromWide(name_);
      return result->bstrVal ? S_OK : E_OUTOFMEMORY;
    case DISPID_FONT_SIZE: *result = MakeVariantCy(size_); return S_OK;
    case DISPID_FONT_BOLD: *result = MakeVariantBool(weight_ >= 600); return S_OK;
    case DISPID_FONT_ITALIC: *result = MakeVariantBool(italic_); return S_OK;
    case DISPID_FONT_UNDER: *result = MakeVariantBool(underline_); return S_OK;
    case DISPID_FONT_STRIKE: *result = MakeVariantBool(strikethrough_); return S_OK;
    case DISPID_FONT_WEIGHT: *result = MakeVariantI2(weight_); return S_OK;
    case DISPID_FONT_CHARSET: *result = MakeVariantI2(charset_); return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT FontObject::PutProperty(DISPID dispid, const VARIANT& value) {
  switch (dispid) {
    case DISPID_FONT_NAME: return put_Name(WideFromBstr(value.bstrVal)) == 0 ? S_OK : E_FAIL;
    case DISPID_FONT_SIZE:
      // A font has a size: nothing could measure or draw a negative one.
      if (value.cyVal < 0) return E_INVALIDARG;
      put_Size(value.cyVal);
      return S_OK;
    case DISPID_FONT_BOLD: put_Bold(value.boolVal ? TRUE : FALSE); return S_OK;
    case DISPID_FONT_ITALIC: put_Italic(value.boolVal ? TRUE : FALSE); return S_OK;
    case DISPID_FONT_UNDER: put_Underline(value.boolVal ? TRUE : FALSE); return S_OK;
    case DISPID_FONT_STRIKE: put_Strikethrough(value.boolVal ? TRUE : FALSE); return S_OK;
    case DISPID_FONT_WEIGHT: put_Weight(value.iVal); return S_OK;
    case DISPID_FONT_CHARSET: put_Charset(value.iVal); return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT FontObject::CallMethod(DISPID, VARIANT*, VARIANT*) { return DISP_E_MEMBERNOTFOUND; }

}  // namespace kestrix
