#include "framework/ole/FontObject.h"

#include <algorithm>

FontObject::FontObject(const FONTDESC& desc)
    : name_(desc.lpstrName ? desc.lpstrName : L""),
      size_(desc.cySize),
      weight_(desc.sWeight),
      charset_(desc.sCharset),
      italic_(desc.fItalic ? TRUE : FALSE),
      underline_(desc.fUnderline ? TRUE : FALSE),
      strikethrough_(desc.fStrikethrough ? TRUE : FALSE) {}

long FontObject::get_Name(BSTR* name) const {
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

long FontObject::put_Name(const BSTR& name) {
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
  auto copy = std::make_shared<FontObject>(*this);
  copy->sinks_.clear();  // a copy starts with no listeners
  return copy;
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
