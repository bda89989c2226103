#include "CollectionFile.h"

#include <filesystem>

#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

uint32_t Get32(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3]));
}
void Add16(std::string& out, unsigned v) {
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}
void Add32(std::string& out, uint32_t v) {
  Add16(out, v >> 16);
  Add16(out, v & 0xFFFF);
}
void Set32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

uint32_t Checksum(const std::string& table) {
  std::string padded = table;
  padded.append((4 - padded.size() % 4) % 4, '\0');
  uint32_t sum = 0;
  for (size_t i = 0; i < padded.size(); i += 4) sum += Get32(padded, i);
  return sum;
}

// The whole font file GDI selects for a family, or empty.
std::string InstalledFont(const std::wstring& family) {
  LOGFONTW logFont{};
  logFont.lfHeight = -32;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(logFont.lfFaceName, family.c_str(), LF_FACESIZE - 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectW(&logFont);
  HGDIOBJ old = SelectObject(dc, font);
  std::string bytes;
  wchar_t chosen[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, chosen);
  const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
  if (family == chosen && size != GDI_ERROR && size > 0) {
    bytes.resize(size);
    if (GetFontData(dc, 0, 0, bytes.data(), size) != size) bytes.clear();
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return bytes;
}

// A naming table (Windows, Unicode, US English) with the family, style, full and PostScript
// names.
std::string NamingTable(const std::wstring& family) {
  std::wstring postScript;
  for (wchar_t c : family)
    if (c != L' ') postScript += c;
  const std::pair<unsigned, std::wstring> names[] = {
      {1, family}, {2, L"Regular"}, {4, family}, {6, postScript}};
  std::string strings;
  std::string out;
  Add16(out, 0);
  Add16(out, 4);
  Add16(out, 6 + 12 * 4);
  for (const auto& [id, text] : names) {
    Add16(out, 3);
    Add16(out, 1);
    Add16(out, 0x409);
    Add16(out, id);
    Add16(out, static_cast<unsigned>(text.size() * 2));
    Add16(out, static_cast<unsigned>(strings.size()));
    for (wchar_t c : text) Add16(strings, c);
  }
  return out + strings;
}

constexpr DWORD kCollectionTag = 0x66637474;  // 'ttcf'

struct Table {
  std::string tag;
  std::string bytes;
};

}  // namespace

bool WriteCollection(const std::vector<CollectedFace>& faces, const std::wstring& path) {
  std::vector<std::vector<Table>> tables;
  std::vector<uint32_t> versions;
  for (const CollectedFace& face : faces) {
    const std::string font = InstalledFont(face.installedFamily);
    if (font.size() < 12 || font.substr(0, 4) == "ttcf") return false;
    versions.push_back(Get32(font, 0));
    const unsigned count = static_cast<uint8_t>(font[4]) << 8 | static_cast<uint8_t>(font[5]);
    std::vector<Table> own;
    for (unsigned i = 0; i < count; ++i) {
      const size_t record = 12 + 16 * size_t{i};
      const uint32_t offset = Get32(font, record + 8), length = Get32(font, record + 12);
      if (offset + length > font.size()) return false;
      std::string tag = font.substr(record, 4);
      own.push_back(
          {tag, tag == "name" ? NamingTable(face.newFamily) : font.substr(offset, length)});
    }
    tables.push_back(std::move(own));
  }
  // The header, each face's table directory, then the tables, each on a four-byte boundary.
  std::string out = "ttcf";
  Add32(out, 0x00010000);
  Add32(out, static_cast<uint32_t>(faces.size()));
  out.append(4 * faces.size(), '\0');
  std::vector<size_t> records;
  for (size_t f = 0; f < faces.size(); ++f) {
    Set32(out, 12 + 4 * f, static_cast<uint32_t>(out.size()));
    const unsigned count = static_cast<unsigned>(tables[f].size());
    unsigned power = 1, log = 0;
    while (power * 2 <= count) power *= 2, ++log;
    Add32(out, versions[f]);
    Add16(out, count);
    Add16(out, power * 16);
    Add16(out, log);
    Add16(out, count * 16 - power * 16);
    records.push_back(out.size());
    out.append(16 * size_t{count}, '\0');
  }
  for (size_t f = 0; f < faces.size(); ++f) {
    for (size_t i = 0; i < tables[f].size(); ++i) {
      const Table& table = tables[f][i];
      const size_t record = records[f] + 16 * i;
      out.replace(record, 4, table.tag);
      Set32(out, record + 4, Checksum(table.bytes));
      Set32(out, record + 8, static_cast<uint32_t>(out.size()));
      Set32(out, record + 12, static_cast<uint32_t>(table.bytes.size()));
      out += table.bytes;
      out.append((4 - out.size() % 4) % 4, '\0');
    }
  }
  return WriteFileDurably(std::filesystem::path(path).string(), out) == 0;
}

SelectedFace Select(const std::wstring& family) {
  LOGFONTW logFont{};
  logFont.lfHeight = -32;
  logFont.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(logFont.lfFaceName, family.c_str(), LF_FACESIZE - 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectW(&logFont);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t chosen[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, chosen);
  char tag[4] = {};
  const bool collected =
      GetFontData(dc, kCollectionTag, 0, tag, 4) == 4 && std::string(tag, 4) == "ttcf";
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return {chosen, collected};
}

}  // namespace kestrix
