#include "framework/ole/PropExchange.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace kestrix {

void PropertyBag::Write(const std::string& name, PropValue value) {
  for (auto& entry : entries_)
    if (entry.first == name) {
      entry.second = std::move(value);
      return;
    }
  entries_.emplace_back(name, std::move(value));
}

const PropValue* PropertyBag::Read(const std::string& name) const {
  for (const auto& entry : entries_)
    if (entry.first == name) return &entry.second;
  return nullptr;
}

bool PropertyBag::Remove(const std::string& name) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

namespace {

constexpr const char* kVersionName = "_Version";

const char* TypeName(const PropValue& value) {
  static constexpr const char* kNames[] = {"bool", "short", "long", "string", "font", "dword"};
  static_assert(std::size(kNames) == std::variant_size_v<PropValue>);
  return kNames[value.index()];
}

// The stored value of name when it has type T; nothing when missing or of another type, which
// the exchange notes as unreadable.
template <typename T>
const T* ReadAs(CPropExchange* px, const char* name) {
  if (!px->Bag() || !name) return nullptr;
  const PropValue* v = px->Bag()->Read(name);
  if (!v) return nullptr;
  const T* typed = std::get_if<T>(v);
  if (!typed)
    px->NoteUnreadable(std::string(name) + " is a " + TypeName(*v) + ", not a " +
                       TypeName(PropValue(T{})) + "; it keeps its default");
  return typed;
}

// The common shape of every exchange of one plain value.
template <typename Stored, typename Member>
BOOL ExchangeValue(CPropExchange* px, const char* name, Member& value, const Member& defaultValue) {
  if (!px) return FALSE;
  switch (px->GetMode()) {
    case CPropExchange::Mode::Reset:
      value = defaultValue;
      return TRUE;
    case CPropExchange::Mode::Load:
      if (const Stored* stored = ReadAs<Stored>(px, name)) {
        value = static_cast<Member>(*stored);
        return TRUE;
      }
      value = defaultValue;
      return TRUE;
    case CPropExchange::Mode::Save:
      if (!px->Bag() || !name) return FALSE;
      px->Bag()->Write(name, static_cast<Stored>(value));
      return TRUE;
  }
  return FALSE;
}

SavedFont SaveFont(const FontObject& font) {
  SavedFont s;
  font.get_Name(&s.name);
  font.get_Size(&s.size);
  font.get_Weight(&s.weight);
  font.get_Charset(&s.charset);
  font.get_Italic(&s.italic);
  font.get_Underline(&s.underline);
  font.get_Strikethrough(&s.strikethrough);
  return s;
}

}  // namespace

BOOL CPropExchange::ExchangeVersion(DWORD& version, DWORD defaultVersion, BOOL /*convert*/) {
  switch (mode_) {
    case Mode::Reset:
      version = defaultVersion;
      return TRUE;
    case Mode::Load:
      if (const DWORD* stored = ReadAs<DWORD>(this, kVersionName))
        version = *stored;
      else
        version = defaultVersion;
      // Values are still read by name: a later major version is reported, not refused.
      if ((version >> 16) > (defaultVersion >> 16))
        NoteUnreadable("version " + std::to_string(version >> 16) + "." +
                       std::to_string(version & 0xFFFF) + " was written by a newer version");
      return TRUE;
    case Mode::Save:
      if (!bag_) return FALSE;
      bag_->Write(kVersionName, defaultVersion);
      return TRUE;
  }
  return FALSE;
}

BOOL PX_Bool(CPropExchange* px, const char* name, BOOL& value, BOOL defaultValue) {
  bool v = value != 0;
  BOOL ok = ExchangeValue<bool, bool>(px, name, v, defaultValue != 0);
  if (px && px->GetMode() != CPropExchange::Mode::Save) value = v ? TRUE : FALSE;
  return ok;
}

BOOL PX_Short(CPropExchange* px, const char* name, short& value, short defaultValue) {
  return ExchangeValue<short, short>(px, name, value, defaultValue);
}

BOOL PX_Long(CPropExchange* px, const char* name, LONG& value, LONG defaultValue) {
  return ExchangeValue<LONG, LONG>(px, name, value, defaultValue);
}

BOOL PX_String(CPropExchange* px, const char* name, CString& value, const CString& defaultValue) {
  return ExchangeValue<CString, CString>(px, name, value, defaultValue);
}

BOOL PX_Font(CPropExchange* px, const char* name, CFontHolder& font, const FONTDESC* defaultFont) {
  if (!px) return FALSE;
  switch (px->GetMode()) {
    case CPropExchange::Mode::Reset:
      font.InitializeFont(defaultFont, nullptr);
      return TRUE;
    case CPropExchange::Mode::Load:
      if (const SavedFont* s = ReadAs<SavedFont>(px, name)) {
        FONTDESC desc;
        desc.lpstrName = s->name.c_str();
        desc.cySize = s->size;
        desc.sWeight = s->weight;
        desc.sCharset = s->charset;
        desc.fItalic = s->italic;
        desc.fUnderline = s->underline;
        desc.fStrikethrough = s->strikethrough;
        font.InitializeFont(&desc, nullptr);  // the name is copied before desc goes away
        return TRUE;
      }
      font.InitializeFont(defaultFont, nullptr);
      return TRUE;
    case CPropExchange::Mode::Save:
      if (!px->Bag() || !name) return FALSE;
      if (const FontObject* f = font.GetFontDispatch()) {
        px->Bag()->Write(name, SaveFont(*f));
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace kestrix
