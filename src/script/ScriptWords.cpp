#include "ScriptWords.h"

#include <cctype>
#include <cstdio>

#include "framework/text/Cp1256.h"
#include "framework/text/TextConversion.h"

namespace kestrix {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Throws on malformed input.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0))
    throw ScriptError("malformed UTF-8 in a string");
  char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if ((c & 0xC0) != 0x80) throw ScriptError("malformed UTF-8 in a string");
    cp = (cp << 6) | (c & 0x3F);
  }
  i += static_cast<size_t>(extra) + 1;
  return cp;
}

}  // namespace

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    Word w;
    w.start = i;
    if (line[i] != '"') {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') w.text += line[i++];
      words.push_back(w);
      continue;
    }
    w.quoted = true;
    ++i;
    bool closed = false;
    while (i < line.size()) {
      char c = line[i];
      if (c == '"') {
        ++i;
        closed = true;
        break;
      }
      if (c == '\\') {
        if (i + 1 >= line.size()) throw ScriptError("a string ends with a lone backslash");
        char e = line[i + 1];
        i += 2;
        switch (e) {
          case 'r': w.text += '\r'; break;
          case 'n': w.text += '\n'; break;
          case 't': w.text += '\t'; break;
          case '\\': w.text += '\\'; break;
          case '"': w.text += '"'; break;
          case 'x': {
            int hi = i < line.size() ? HexDigit(line[i]) : -1;
            int lo = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
            if (hi < 0 || lo < 0) throw ScriptError("\\x needs two hexadecimal digits");
            w.text += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
          }
          default:
            throw ScriptError(std::string("unknown escape \\") + e);
        }
        continue;
      }
      char32_t cp = NextCodePoint(line, i);
      // The control's own conversion: what it maps (Arabic-Indic digits, say) is mapped here.
      std::string bytes = Cp1256ForCharacter(cp);
      if (bytes.empty()) throw ScriptError("a character the Arabic code page lacks: U+" + [cp] {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(cp));
        return std::string(buf);
      }());
      w.text += bytes;
    }
    if (!closed) throw ScriptError("unterminated string");
    words.push_back(w);
  }
  return words;
}

std::optional<int64_t> ParseNumber(const std::string& word) {
  if (word.empty()) return std::nullopt;
  size_t i = 0;
  bool negative = word[0] == '-';
  if (negative) ++i;
  int base = 10;
  if (word.size() > i + 1 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= word.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < word.size(); ++i) {
    int d = base == 16 ? HexDigit(word[i]) : (std::isdigit(static_cast<unsigned char>(word[i])) ? word[i] - '0' : -1);
    if (d < 0) return std::nullopt;
    if (value > (INT64_MAX - d) / base) return std::nullopt;
    value = value * base + d;
  }
  return negative ? -value : value;
}

int64_t NumberOf(const Word& word, const char* what) {
  std::optional<int64_t> n = word.quoted ? std::nullopt : ParseNumber(word.text);
  if (!n) throw ScriptError(std::string("expected ") + what + ", got " + word.text);
  return *n;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string Quoted(const std::string& bytes) {
  std::string out = "\"";
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    switch (ch) {
      case '\r': out += "\\r"; continue;
      case '\n': out += "\\n"; continue;
      case '\t': out += "\\t"; continue;
      case '\\': out += "\\\\"; continue;
      case '"': out += "\\\""; continue;
      default: break;
    }
    if (b < 0x20 || b == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    } else {
      AppendUtf8(UnicodeFromCp1256(b), out);
    }
  }
  return out + "\"";
}

}  // namespace kestrix
