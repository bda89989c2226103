// Property exchange: one pass over a control's named values in reset, load or save mode, over
// a bag of named values kept in the order they were saved.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "FontObject.h"
#include "OleTypes.h"

namespace kestrix {

struct SavedFont {
  WideString name;
  CY size = 0;
  short weight = 0;
  short charset = 0;
  BOOL italic = FALSE;
  BOOL underline = FALSE;
  BOOL strikethrough = FALSE;
  bool operator==(const SavedFont&) const = default;
};

// Booleans are kept as bool so that they stay apart from 32-bit integers.
using PropValue = std::variant<bool, short, LONG, CString, SavedFont, DWORD>;

class PropertyBag {
 public:
  void Write(const std::string& name, PropValue value);
  const PropValue* Read(const std::string& name) const;
  bool Remove(const std::string& name);
  const std::vector<std::pair<std::string, PropValue>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, PropValue>> entries_;
};

class CPropExchange {
 public:
  enum class Mode { Reset, Load, Save };
  CPropExchange(Mode mode, PropertyBag* bag) : mode_(mode), bag_(bag) {}

  Mode GetMode() const { return mode_; }
  BOOL IsLoading() const { return mode_ != Mode::Save; }
  // Exchanges the version stamp: on save writes version; on load reads it (default when
  // missing) into version; on reset sets the default.
  BOOL ExchangeVersion(DWORD& version, DWORD defaultVersion, BOOL convert);
  PropertyBag* Bag() const { return bag_; }
  // Load: what could not be read, one line each (a value the bag holds in another type than
  // the one asked for, a version written by a newer major version). Such a value takes its
  // default; every other value is read.
  void NoteUnreadable(std::string what) { problems_.push_back(std::move(what)); }
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  Mode mode_;
  PropertyBag* bag_;
  std::vector<std::string> problems_;
};

BOOL PX_Bool(CPropExchange* px, const char* name, BOOL& value, BOOL defaultValue);
BOOL PX_Short(CPropExchange* px, const char* name, short& value, short defaultValue);
BOOL PX_Long(CPropExchange* px, const char* name, LONG& value, LONG defaultValue);
BOOL PX_String(CPropExchange* px, const char* name, CString& value, const CString& defaultValue);
BOOL PX_Font(CPropExchange* px, const char* name, CFontHolder& font, const FONTDESC* defaultFont);

}  // namespace kestrix
