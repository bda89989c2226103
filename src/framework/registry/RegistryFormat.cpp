// Reading and writing the registry's text form.
#include <cstdio>
#include <set>

#include "framework/registry/RegistryFile.h"

namespace kestrix {

namespace {

constexpr std::string_view kHeaderPrefix = "KESTRIX REGISTRY ";
constexpr int kFormatVersion = 1;

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string at pos; false when it is not one.
bool ReadQuoted(std::string_view line, size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == '"') return true;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (pos >= line.size()) return false;
    char e = line[pos++];
    if (e == '\\' || e == '"') {
      out += e;
    } else if (e == 'x' && pos + 2 <= line.size() && HexDigit(line[pos]) >= 0 &&
               HexDigit(line[pos + 1]) >= 0) {
      out += static_cast<char>(HexDigit(line[pos]) * 16 + HexDigit(line[pos + 1]));
      pos += 2;
    } else {
      return false;
    }
  }
  return false;
}

bool ReadDword(std::string_view text, uint32_t& out) {
  constexpr std::string_view kPrefix = "dword:";
  if (text.substr(0, kPrefix.size()) != kPrefix || text.size() != kPrefix.size() + 8) return false;
  out = 0;
  for (char c : text.substr(kPrefix.size())) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    out = out * 16 + static_cast<uint32_t>(digit);
  }
  return true;
}

}  // namespace

std::string FormatRegistry(const RegistryTree& tree) {
  std::string out = std::string(kHeaderPrefix) + std::to_string(kFormatVersion) + "\n";
  for (const RegistryTree::KeyView& key : tree.Keys()) {
    out += "\n[" + key.path + "]\n";
    for (const auto& [name, value] : key.values) {
      if (name.empty())
        out += '@';
      else
        AppendQuoted(out, name);
      out += '=';
      if (value.type == RegistryValue::Type::String) {
        AppendQuoted(out, value.text);
      } else {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08X", value.number);
        out += number;
      }
      out += '\n';
    }
  }
  return out;
}

RegistryRead ParseRegistry(std::string_view text) {
  RegistryRead result;
  size_t lineNumber = 0;
  size_t pos = 0;
  std::string currentKey;
  std::set<std::string, RegistryNameLess> namesInKey;
  auto fail = [&](LONG status) {
    result.status = status;
    result.badLine = lineNumber;
    return result;
  };
  while (pos < text.size()) {
    ++lineNumber;
    size_t end = text.find('\n', pos);
    // A last line with no newline was cut short.
    if (end == std::string_view::npos) return fail(ERROR_BADDB);
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;

    if (lineNumber == 1) {
      if (line.substr(0, kHeaderPrefix.size()) != kHeaderPrefix) return fail(ERROR_BADDB);
      std::string_view version = line.substr(kHeaderPrefix.size());
      if (version.empty() || version.size() > 9 ||
          version.find_first_not_of("0123456789") != std::string_view::npos)
        return fail(ERROR_BADDB);
      if (std::stoi(std::string(version)) != kFormatVersion) return fail(ERROR_NOT_SUPPORTED);
      continue;
    }
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return fail(ERROR_BADDB);
      std::string path(line.substr(1, line.size() - 2));
      if (!result.tree.CreateKey(path)) return fail(ERROR_BADDB);
      currentKey = std::move(path);
      namesInKey.clear();
      continue;
    }
    if (currentKey.empty()) return fail(ERROR_BADDB);
    std::string name;
    size_t at = 0;
    if (line.front() == '@') {
      at = 1;
    } else if (!ReadQuoted(line, at, name) || name.empty()) {
      return fail(ERROR_BADDB);
    }
    if (at >= line.size() || line[at] != '=') return fail(ERROR_BADDB);
    ++at;
    RegistryValue value;
    if (at < line.size() && line[at] == '"') {
      if (!ReadQuoted(line, at, value.text) || at != line.size()) return fail(ERROR_BADDB);
    } else {
      value.type = RegistryValue::Type::Dword;
      if (!ReadDword(line.substr(at), value.number)) return fail(ERROR_BADDB);
    }
    if (!namesInKey.insert(name).second) return fail(ERROR_BADDB);
    if (!result.tree.SetValue(currentKey, name, value)) return fail(ERROR_BADDB);
  }
  return result;  // an empty file is an empty registry
}

}  // namespace kestrix
