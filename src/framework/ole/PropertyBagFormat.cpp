// Reading and writing the property file's text form.
#include "framework/ole/PropertyBagFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

namespace kestrix {

namespace {

using WideUnit = std::make_unsigned_t<wchar_t>;
constexpr uint32_t kMaxByteUnit = 0xFF;
constexpr uint32_t kMaxWideUnit = std::numeric_limits<WideUnit>::max();
constexpr std::string_view kEndLine = "end";

void SetError(std::string* error, std::string message) {
  if (error) *error = std::move(message);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Plain ASCII tests: the locale must not change what a file means.
bool IsBareNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '-';
}

bool IsLiteral(uint32_t unit) {
  return unit >= 0x20 && unit <= 0x7E && unit != '"' && unit != '\\';
}

// ---- Writing

void AppendUnit(std::string& out, uint32_t unit, bool wide) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  switch (unit) {
    case '\\':
      out += "\\\\";
      return;
    case '"':
      out += "\\\"";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  if (IsLiteral(unit)) {
    out += static_cast<char>(unit);
  } else if (!wide) {
    out += "\\x";
    out += kHex[(unit >> 4) & 0xF];
    out += kHex[unit & 0xF];
  } else {
    char digits[8];
    auto result = std::to_chars(digits, digits + sizeof digits, unit, 16);
    out += "\\u{";
    for (char* p = digits; p != result.ptr; ++p)
      out += static_cast<char>(*p >= 'a' ? *p - 'a' + 'A' : *p);
    out += '}';
  }
}

std::string QuoteBytes(std::string_view s) {
  std::string out = "\"";
  for (char c : s) AppendUnit(out, static_cast<unsigned char>(c), false);
  return out += '"';
}

std::string QuoteWide(const WideString& s) {
  std::string out = "\"";
  for (wchar_t c : s) AppendUnit(out, static_cast<WideUnit>(c), true);
  return out += '"';
}

std::string NameToken(const std::string& name) {
  for (char c : name)
    if (!IsBareNameChar(c)) return QuoteBytes(name);
  return name;
}

const char* Bool(bool b) { return b ? "true" : "false"; }

// The lines of one value, without their final LF; none for a type the format does not know.
std::vector<std::string> ValueLines(const std::string& name, const PropValue& value) {
  std::string head = NameToken(name) + ' ';
  if (const auto* b = std::get_if<bool>(&value)) return {head + "bool " + Bool(*b)};
  if (const auto* s = std::get_if<short>(&value)) return {head + "short " + std::to_string(*s)};
  if (const auto* l = std::get_if<LONG>(&value)) return {head + "long " + std::to_string(*l)};
  if (const auto* d = std::get_if<DWORD>(&value)) return {head + "dword " + std::to_string(*d)};
  if (const auto* str = std::get_if<CString>(&value)) return {head + "string " + QuoteBytes(*str)};
  const auto* font = std::get_if<SavedFont>(&value);
  if (!font) return {};
  const SavedFont& f = *font;
  return {head + "font {",
          "  name " + QuoteWide(f.name),
          "  size " + std::to_string(f.size),
          "  weight " + std::to_string(f.weight),
          "  charset " + std::to_string(f.charset),
          std::string("  italic ") + Bool(f.italic != 0),
          std::string("  underline ") + Bool(f.underline != 0),
          std::string("  strikethrough ") + Bool(f.strikethrough != 0),
          "}"};
}

size_t StringChars(const PropValue& value) {
  if (const auto* s = std::get_if<CString>(&value)) return s->size();
  if (const auto* f = std::get_if<SavedFont>(&value)) return f->name.size();
  return 0;
}

// ---- Reading

struct Token {
  std::string_view raw;  // a quoted token without its quotes, escapes not yet decoded
  bool quoted = false;
};

// At most three tokens make a line; anything longer is malformed.
struct Tokens {
  std::array<Token, 3> items;
  size_t count = 0;
  bool Is(size_t i, std::string_view word) const {
    return i < count && !items[i].quoted && items[i].raw == word;
  }
};

bool Tokenize(std::string_view line, Tokens& tokens) {
  size_t pos = 0;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) return true;
    if (tokens.count == tokens.items.size()) return false;
    Token& token = tokens.items[tokens.count++];
    if (line[pos] == '"') {
      size_t end = pos + 1;
      while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
      if (end >= line.size()) return false;  // no closing quote
      token.raw = line.substr(pos + 1, end - pos - 1);
      token.quoted = true;
      pos = end + 1;
      if (pos < line.size() && !IsBlank(line[pos])) return false;
    } else {
      size_t end = pos;
      while (end < line.size() && !IsBlank(line[end])) {
        if (line[end] == '"') return false;
        ++end;
      }
      token.raw = line.substr(pos, end - pos);
      pos = end;
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes a quoted token's escapes into units of at most maxUnit; nothing when malformed or
// longer than maxChars.
template <typename String>
std::optional<String> Unquote(std::string_view raw, uint32_t maxUnit, size_t maxChars) {
  using Char = typename String::value_type;
  String out;
  size_t i = 0;
  while (i < raw.size()) {
    if (out.size() >= maxChars) return std::nullopt;
    auto c = static_cast<unsigned char>(raw[i++]);
    uint32_t unit = c;
    if (c == '\\') {
      if (i == raw.size()) return std::nullopt;
      char e = raw[i++];
      switch (e) {
        case '\\':
          unit = '\\';
          break;
        case '"':
          unit = '"';
          break;
        case 'r':
          unit = '\r';
          break;
        case 'n':
          unit = '\n';
          break;
        case 't':
          unit = '\t';
          break;
        case 'x': {
          if (raw.size() - i < 2) return std::nullopt;
          int hi = HexValue(raw[i]);
          int lo = HexValue(raw[i + 1]);
          if (hi < 0 || lo < 0) return std::nullopt;
          unit = static_cast<uint32_t>(hi * 16 + lo);
          i += 2;
          break;
        }
        case 'u': {
          if (i == raw.size() || raw[i] != '{') return std::nullopt;
          // At most eight digits, so a hostile escape costs no more than a valid one.
          size_t close = raw.substr(i + 1, 9).find('}');
          if (close == std::string_view::npos || close == 0) return std::nullopt;
          close += i + 1;
          const char* first = raw.data() + i + 1;
          const char* last = raw.data() + close;
          auto result = std::from_chars(first, last, unit, 16);
          if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
          i = close + 1;
          break;
        }
        default:
          return std::nullopt;
      }
    } else if (!IsLiteral(unit)) {
      return std::nullopt;  // raw control or 8-bit bytes are never written
    }
    if (unit > maxUnit) return std::nullopt;
    out += static_cast<Char>(static_cast<std::make_unsigned_t<Char>>(unit));
  }
  return out;
}

template <typename Int>
std::optional<Int> ParseInt(const Token& token) {
  if (token.quoted || token.raw.empty()) return std::nullopt;
  Int value{};
  const char* last = token.raw.data() + token.raw.size();
  auto result = std::from_chars(token.raw.data(), last, value, 10);
  if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
  return value;
}

std::optional<bool> ParseBool(const Token& token) {
  if (token.quoted) return std::nullopt;
  if (token.raw == "true") return true;
  if (token.raw == "false") return false;
  return std::nullopt;
}

std::optional<PropValue> ParseValue(std::string_view type, const Token& value,
                                    const PropertyFileLimits& limits) {
  if (type == "bool") {
    if (auto b = ParseBool(value)) return PropValue(*b);
  } else if (type == "short") {
    if (auto s = ParseInt<short>(value)) return PropValue(*s);
  } else if (type == "long") {
    if (auto l = ParseInt<LONG>(value)) return PropValue(*l);
  } else if (type == "dword") {
    if (auto d = ParseInt<DWORD>(value)) return PropValue(*d);
  } else if (type == "string") {
    if (!value.quoted) return std::nullopt;
    if (auto s = Unquote<CString>(value.raw, kMaxByteUnit, limits.maxStringChars))
      return PropValue(std::move(*s));
  }
  return std::nullopt;
}

std::optional<std::string> ParseName(const Token& token, const PropertyFileLimits& limits) {
  std::optional<std::string> name;
  if (token.quoted) {
    name = Unquote<std::string>(token.raw, kMaxByteUnit, limits.maxNameBytes);
  } else {
    for (char c : token.raw)
      if (!IsBareNameChar(c)) return std::nullopt;
    if (token.raw.size() <= limits.maxNameBytes) name = std::string(token.raw);
  }
  if (name && name->empty()) return std::nullopt;
  return name;
}

// A font being read field by field.
struct FontGroup {
  std::string name;
  size_t line = 0;
  SavedFont font;
  unsigned fieldsSeen = 0;
  bool bad = false;

  static constexpr unsigned kAllFields = (1u << 7) - 1;

  void Apply(const Tokens& tokens, const PropertyFileLimits& limits) {
    static constexpr std::array<std::string_view, 7> kFields = {
        "name", "size", "weight", "charset", "italic", "underline", "strikethrough"};
    const Token& value = tokens.items[1];
    size_t field = 0;
    while (field < kFields.size() && !tokens.Is(0, kFields[field])) ++field;
    if (field == kFields.size()) return;  // a field of a later minor version
    unsigned bit = 1u << field;
    if (fieldsSeen & bit) bad = true;
    fieldsSeen |= bit;
    bool ok = false;
    auto number = [&](auto& member) {
      if (auto v = ParseInt<std::remove_reference_t<decltype(member)>>(value)) {
        member = *v;
        ok = true;
      }
    };
    auto flag = [&](BOOL& member) {
      if (auto b = ParseBool(value)) {
        member = *b ? TRUE : FALSE;
        ok = true;
      }
    };
    switch (field) {
      case 0:
        if (value.quoted) {
          if (auto n = Unquote<WideString>(value.raw, kMaxWideUnit, limits.maxStringChars)) {
            font.name = std::move(*n);
            ok = true;
          }
        }
        break;
      case 1:
        number(font.size);
        break;
      case 2:
        number(font.weight);
        break;
      case 3:
        number(font.charset);
        break;
      case 4:
        flag(font.italic);
        break;
      case 5:
        flag(font.underline);
        break;
      default:
        flag(font.strikethrough);
        break;
    }
    if (!ok) bad = true;
  }
};

class Reader {
 public:
  Reader(PropertyBag& out, std::string* error, const PropertyFileLimits& limits)
      : out_(out), error_(error), limits_(limits) {}
  // Every problem, not only the first, goes to all when given.
  void ReportAllTo(std::vector<std::string>* all) { all_ = all; }

  bool Read(std::string_view text) {
    if (text.size() > limits_.maxFileBytes) {
      Note(0, "longer than " + std::to_string(limits_.maxFileBytes) + " bytes; read as cut there");
      text = text.substr(0, limits_.maxFileBytes);
    }
    size_t pos = 0;
    size_t number = 0;
    bool header = false;
    bool ended = false;
    while (pos < text.size()) {
      size_t lf = text.find('\n', pos);
      ++number;
      if (lf == std::string_view::npos) {
        Note(number, "cut off (no line end); left out");
        break;
      }
      std::string_view line = text.substr(pos, lf - pos);
      pos = lf + 1;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!header) {
        if (!ReadHeader(line)) return false;
        header = true;
        continue;
      }
      if (ended) {
        Note(number, "text after the end line; ignored");
        break;
      }
      ended = ReadLine(line, number);
    }
    if (!header) {
      Fail("empty or cut before its first line");
      return false;
    }
    if (group_) Abandon(number, "not closed");
    if (!ended) Note(number, "no end line; the file may be cut");
    return !problem_;
  }

 private:
  bool ReadHeader(std::string_view line) {
    std::string_view format = kPropertyFileFormat;
    if (line.substr(0, format.size()) != format || line.size() <= format.size() ||
        line[format.size()] != ' ') {
      Fail(std::string("not a property file (the first line must start with \"") +
           kPropertyFileFormat + " \")");
      return false;
    }
    std::string_view version = line.substr(format.size() + 1);
    size_t dot = version.find('.');
    Token major{version.substr(0, dot), false};
    Token minor{dot == std::string_view::npos ? std::string_view() : version.substr(dot + 1),
                false};
    auto majorValue = ParseInt<int>(major);
    if (!majorValue || !ParseInt<int>(minor) || *majorValue < 0) {
      Fail("malformed version \"" + std::string(version.substr(0, 32)) + "\"");
      return false;
    }
    if (*majorValue != kPropertyFileMajor) {
      Fail("version " + std::to_string(*majorValue) + " is not readable here");
      return false;
    }
    return true;
  }

  // True when the line ends the file.
  bool ReadLine(std::string_view line, size_t number) {
    if (line.size() > limits_.maxLineBytes) {
      if (group_) Abandon(number, "interrupted");
      Note(number, "longer than " + std::to_string(limits_.maxLineBytes) + " bytes; left out");
      return false;
    }
    Tokens tokens;
    if (!Tokenize(line, tokens)) {
      if (group_) Abandon(number, "interrupted");
      Note(number, "malformed; left out");
      return false;
    }
    if (tokens.count == 0 || (!tokens.items[0].quoted && tokens.items[0].raw.front() == '#'))
      return false;
    if (group_) {
      if (tokens.count == 1 && tokens.Is(0, "}")) {
        CloseGroup(number);
        return false;
      }
      if (tokens.count == 2) {
        group_->Apply(tokens, limits_);
        return false;
      }
      // Not a field: the group was cut short, and this line stands on its own.
      Abandon(number, "interrupted");
    }
    if (tokens.count == 1 && tokens.Is(0, kEndLine)) return true;
    if (tokens.count != 3) {
      Note(number, "not NAME TYPE VALUE; left out");
      return false;
    }
    std::optional<std::string> name = ParseName(tokens.items[0], limits_);
    if (!name) {
      Note(number, "bad name; left out");
      return false;
    }
    if (tokens.Is(1, "font")) {
      if (!tokens.Is(2, "{")) {
        Note(number, "a font must open a group with \"{\"; left out");
        return false;
      }
      group_.emplace();
      group_->name = std::move(*name);
      group_->line = number;
      return false;
    }
    std::string_view type = tokens.items[1].quoted ? std::string_view() : tokens.items[1].raw;
    std::optional<PropValue> value = ParseValue(type, tokens.items[2], limits_);
    if (!value) {
      Note(number, "unknown type or bad value for " + Printable(*name) + "; left out");
      return false;
    }
    Keep(number, std::move(*name), std::move(*value));
    return false;
  }

  void CloseGroup(size_t number) {
    FontGroup group = std::move(*group_);
    group_.reset();
    if (group.bad || group.fieldsSeen != FontGroup::kAllFields) {
      Note(group.line,
           "font " + Printable(group.name) + " has a missing, bad or repeated field; left out");
      return;
    }
    Keep(number, std::move(group.name), PropValue(std::move(group.font)));
  }

  void Abandon(size_t number, const char* how) {
    Note(number, "font " + Printable(group_->name) + " " + how + "; left out");
    group_.reset();
  }

  void Keep(size_t number, std::string name, PropValue value) {
    if (names_.count(name)) {
      Note(number, Printable(name) + " was read before; the first is kept");
      return;
    }
    if (names_.size() >= limits_.maxEntries) {
      Note(number, "more than " + std::to_string(limits_.maxEntries) + " values; left out");
      return;
    }
    out_.Write(name, std::move(value));
    names_.insert(std::move(name));
  }

  // Names go into messages escaped, so a hostile name cannot forge a message.
  static std::string Printable(const std::string& name) { return QuoteBytes(name.substr(0, 64)); }

  void Note(size_t number, const std::string& what) {
    std::string message = number ? "line " + std::to_string(number) + ": " + what : what;
    if (all_) all_->push_back(message);
    if (!problem_) SetError(error_, std::move(message));
    problem_ = true;
  }

  void Fail(const std::string& what) {
    out_ = PropertyBag();
    if (all_) all_->push_back(what);
    SetError(error_, what);
  }

  PropertyBag& out_;
  std::string* error_;
  std::vector<std::string>* all_ = nullptr;
  const PropertyFileLimits& limits_;
  std::set<std::string> names_;
  std::optional<FontGroup> group_;
  bool problem_ = false;
};

}  // namespace

bool SavePropertyBagToString(const PropertyBag& bag, std::string& text, std::string* error,
                             const PropertyFileLimits& limits) {
  if (bag.Entries().size() > limits.maxEntries) {
    SetError(error, "more than " + std::to_string(limits.maxEntries) + " values");
    return false;
  }
  std::string result = std::string(kPropertyFileFormat) + ' ' + std::to_string(kPropertyFileMajor) +
                       '.' + std::to_string(kPropertyFileMinor) + '\n';
  for (const auto& [name, value] : bag.Entries()) {
    if (name.empty() || name.size() > limits.maxNameBytes) {
      SetError(error, "a value's name is empty or longer than " +
                          std::to_string(limits.maxNameBytes) + " bytes");
      return false;
    }
    if (StringChars(value) > limits.maxStringChars) {
      SetError(error, "the value " + QuoteBytes(name) + " is longer than " +
                          std::to_string(limits.maxStringChars) + " characters");
      return false;
    }
    std::vector<std::string> lines = ValueLines(name, value);
    if (lines.empty()) {
      SetError(error, "the value " + QuoteBytes(name) + " has a type the file cannot hold");
      return false;
    }
    for (const std::string& line : lines) {
      if (line.size() > limits.maxLineBytes) {
        SetError(error, "the value " + QuoteBytes(name) + " needs a line longer than " +
                            std::to_string(limits.maxLineBytes) + " bytes");
        return false;
      }
      result += line;
      result += '\n';
    }
  }
  result += kEndLine;
  result += '\n';
  if (result.size() > limits.maxFileBytes) {
    SetError(error, "longer than " + std::to_string(limits.maxFileBytes) + " bytes");
    return false;
  }
  text = std::move(result);
  return true;
}

bool LoadPropertyBagFromString(std::string_view text, PropertyBag& out, std::string* error,
                               const PropertyFileLimits& limits,
                               std::vector<std::string>* problems) {
  out = PropertyBag();
  if (error) error->clear();
  Reader reader(out, error, limits);
  reader.ReportAllTo(problems);
  return reader.Read(text);
}

}  // namespace kestrix
