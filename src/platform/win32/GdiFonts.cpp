#include "platform/win32/GdiFonts.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>

#include "framework/gdi/FontCollection.h"

namespace kestrix::gdifonts {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const wchar_t* wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  return out;
}

// A memory DC with a font selected, released on scope exit.
class SelectedFont {
 public:
  explicit SelectedFont(const LOGFONTW& logFont)
      : dc_(CreateCompatibleDC(nullptr)), font_(CreateFontIndirectW(&logFont)) {
    if (dc_ && font_) old_ = SelectObject(dc_, font_);
  }
  ~SelectedFont() {
    if (old_) SelectObject(dc_, old_);
    if (font_) DeleteObject(font_);
    if (dc_) DeleteDC(dc_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  HDC dc() const { return old_ ? dc_ : nullptr; }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_ = nullptr;
};

constexpr DWORD TableTag(char a, char b, char c, char d) {
  return static_cast<DWORD>(static_cast<unsigned char>(a)) |
         static_cast<DWORD>(static_cast<unsigned char>(b)) << 8 |
         static_cast<DWORD>(static_cast<unsigned char>(c)) << 16 |
         static_cast<DWORD>(static_cast<unsigned char>(d)) << 24;
}

bool CoversArabicLetters(HDC dc) {
  DWORD size = GetFontUnicodeRanges(dc, nullptr);
  if (size == 0) return false;
  std::vector<char> buffer(size);
  auto* set = reinterpret_cast<GLYPHSET*>(buffer.data());
  if (GetFontUnicodeRanges(dc, set) == 0) return false;
  // Alef to yeh, less U+063B..U+063F, later additions that good Arabic fonts may lack.
  for (wchar_t c = 0x0627; c <= 0x064A; ++c) {
    if (c >= 0x063B && c <= 0x063F) continue;
    bool found = false;
    for (DWORD i = 0; i < set->cRanges && !found; ++i)
      found = c >= set->ranges[i].wcLow && c < set->ranges[i].wcLow + set->ranges[i].cGlyphs;
    if (!found) return false;
  }
  return true;
}

// The face's own weight class and italic flag from its OS/2 table.
void ReadStyle(HDC dc, FoundFace& found) {
  unsigned char os2[64] = {};
  if (GetFontData(dc, TableTag('O', 'S', '/', '2'), 0, os2, sizeof os2) != sizeof os2) return;
  found.weightClass = os2[4] << 8 | os2[5];
  const int selection = os2[62] << 8 | os2[63];
  found.italic = (selection & 0x201) != 0;  // italic or oblique
}

// GetFontData's whole file of a face in a collection (its 'ttcf' pseudo-table).
constexpr DWORD kCollectionTag = TableTag('t', 't', 'c', 'f');

// The selected face's data for a table (0: the face's whole data), or nothing.
std::optional<std::string> ReadTable(HDC dc, DWORD table) {
  const DWORD size = GetFontData(dc, table, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0) return std::nullopt;
  std::string bytes(size, '\0');
  if (GetFontData(dc, table, 0, bytes.data(), size) != size) return std::nullopt;
  return bytes;
}

struct FaceBytes {
  std::shared_ptr<const std::string> bytes;
  int index = 0;
};

// A face of a collection is given from its own table directory on, whose offsets count from
// the collection's start: it is read as the whole collection, with its index there.
std::optional<FaceBytes> ReadFromCollection(HDC dc) {
  std::optional<std::string> whole = ReadTable(dc, kCollectionTag);
  if (!whole || !fontcollection::IsCollection(*whole)) return std::nullopt;
  const std::optional<int> index = fontcollection::FaceIndex(*whole, [dc](std::string_view tag) {
    return ReadTable(dc, TableTag(tag[0], tag[1], tag[2], tag[3]));
  });
  if (!index) return std::nullopt;
  return FaceBytes{std::make_shared<const std::string>(std::move(*whole)), *index};
}

FaceBytes ReadBytes(HDC dc, const std::string& key) {
  static std::mutex mutex;
  static std::map<std::string, FaceBytes> cache;
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  FaceBytes face;
  if (std::optional<FaceBytes> collected = ReadFromCollection(dc)) {
    face = std::move(*collected);
  } else if (std::optional<std::string> bytes = ReadTable(dc, 0)) {
    face.bytes = std::make_shared<const std::string>(std::move(*bytes));
  } else {
    return face;
  }
  cache[key] = face;
  return face;
}

int CALLBACK CollectFamily(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD, LPARAM list) {
  auto* families = reinterpret_cast<std::vector<std::string>*>(list);
  std::string name = Utf8(logFont->lfFaceName);
  // Vertical variants ("@Face") are the same fonts turned.
  if (!name.empty() && name[0] != '@') {
    for (const std::string& known : *families)
      if (known == name) return 1;
    families->push_back(std::move(name));
  }
  return 1;
}

std::vector<std::string> Families(const std::string& face, BYTE charset) {
  LOGFONTW query{};
  query.lfCharSet = charset;
  std::wstring wide = Wide(face);
  wcsncpy(query.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
  std::vector<std::string> families;
  HDC dc = CreateCompatibleDC(nullptr);
  EnumFontFamiliesExW(dc, &query, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
  DeleteDC(dc);
  return families;
}

}  // namespace

FoundFace Find(const FaceRequest& request) {
  LOGFONTW logFont{};
  logFont.lfHeight = -64;
  logFont.lfWeight = request.weight;
  logFont.lfItalic = request.italic ? TRUE : FALSE;
  logFont.lfCharSet = request.arabicCharset ? ARABIC_CHARSET : DEFAULT_CHARSET;
  logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::wstring wide = Wide(request.face);
  wcsncpy(logFont.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
  SelectedFont selected(logFont);
  FoundFace found;
  if (!selected.dc()) return found;
  wchar_t chosen[LF_FACESIZE] = {};
  GetTextFaceW(selected.dc(), LF_FACESIZE, chosen);
  found.face = Utf8(chosen);
  ReadStyle(selected.dc(), found);
  found.coversArabic = CoversArabicLetters(selected.dc());
  FaceBytes face = ReadBytes(selected.dc(), found.face + '|' + std::to_string(found.weightClass) +
                                                (found.italic ? "|i" : "|r"));
  found.bytes = std::move(face.bytes);
  found.index = face.index;
  return found;
}

bool FamilyExists(const std::string& face, bool arabicCharset) {
  return !face.empty() && !Families(face, arabicCharset ? ARABIC_CHARSET : DEFAULT_CHARSET).empty();
}

std::vector<std::string> ArabicFamilies() { return Families("", ARABIC_CHARSET); }

}  // namespace kestrix::gdifonts
