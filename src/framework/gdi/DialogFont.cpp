#include "framework/gdi/DialogFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <mutex>

#include "framework/gdi/DialogFontSource.h"

namespace kestrix {

namespace {

// Metrics of an 8-point sans face, for a display that has no fonts at all.
constexpr int kFallbackAscent = 11;
constexpr int kFallbackDescent = 3;
constexpr int kFallbackAdvance = 6;

// One FreeType library for the process's dialog fonts.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

int RoundUp26Dot6(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }

}  // namespace

struct DialogFont::Face {
  FT_Face face = nullptr;
  std::shared_ptr<const std::string> bytes;  // what a face made from memory reads
  ~Face() {
    if (face) FT_Done_Face(face);
  }
};

std::shared_ptr<const DialogFont> DialogFont::Get(const std::string& face, int pointSize) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, int>, std::shared_ptr<const DialogFont>> fonts;
  std::lock_guard<std::mutex> lock(mutex);
  auto& font = fonts[{face, pointSize}];
  if (!font) font.reset(new DialogFont(face, pointSize));
  return font;
}

DialogFont::DialogFont(const std::string& face, int pointSize)
    : face_(std::make_unique<Face>()) {
  // Points to pixels at 96 to the inch, rounded as the platform rounds a font height.
  pixelSize_ = std::max(1, (pointSize * 96 + 36) / 72);
  ascent_ = kFallbackAscent;
  descent_ = kFallbackDescent;
  DialogFontSource source = FindDialogFontSource(face);
  FT_Library library = Library();
  if (source.path.empty() || !library) return;
  face_->bytes = source.bytes;
  const FT_Error opened =
      source.bytes ? FT_New_Memory_Face(
                         library, reinterpret_cast<const FT_Byte*>(source.bytes->data()),
                         static_cast<FT_Long>(source.bytes->size()), source.index, &face_->face)
                   : FT_New_Face(library, source.path.c_str(), source.index, &face_->face);
  if (opened != 0) {
    face_->face = nullptr;
    return;
  }
  if (FT_Set_Pixel_Sizes(face_->face, 0, static_cast<FT_UInt>(pixelSize_)) != 0) {
    FT_Done_Face(face_->face);
    face_->face = nullptr;
    return;
  }
  path_ = source.path;
  ascent_ = RoundUp26Dot6(face_->face->size->metrics.ascender);
  descent_ = RoundUp26Dot6(-face_->face->size->metrics.descender);
}

DialogFont::~DialogFont() = default;

const DialogFont::Glyph& DialogFont::GlyphOf(unsigned char ch) const {
  std::unique_ptr<Glyph>& slot = glyphs_[ch];
  if (slot) return *slot;
  slot = std::make_unique<Glyph>();
  FT_Face face = face_->face;
  if (!face) {
    slot->advance = ch == ' ' ? kFallbackAdvance / 2 : kFallbackAdvance;
    return *slot;
  }
  // Hinted outlines give whole-pixel advances, so that a measured width is the drawn width.
  if (FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return *slot;
  FT_GlyphSlot g = face->glyph;
  slot->advance = static_cast<int>((g->advance.x + 32) >> 6);
  slot->left = g->bitmap_left;
  slot->top = g->bitmap_top;
  if (g->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
    slot->width = static_cast<int>(g->bitmap.width);
    slot->rows = static_cast<int>(g->bitmap.rows);
    slot->coverage.resize(static_cast<size_t>(slot->width) * static_cast<size_t>(slot->rows));
    for (int row = 0; row < slot->rows; ++row)
      for (int col = 0; col < slot->width; ++col)
        slot->coverage[static_cast<size_t>(row * slot->width + col)] =
            g->bitmap.buffer[row * g->bitmap.pitch + col];
  }
  return *slot;
}

int DialogFont::TextWidth(std::string_view text) const {
  int width = 0;
  for (char c : text) width += GlyphOf(static_cast<unsigned char>(c)).advance;
  return width;
}

DialogBaseUnits DialogFont::BaseUnits() const {
  // Half of the width of the 52 letters over 26, rounded: their average width.
  int letters = TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return DialogBaseUnits{(letters / 26 + 1) / 2, Height()};
}

int DialogFont::Draw(DeviceContext& dc, int x, int y, std::string_view text) const {
  const int baseline = y + ascent_;
  for (char c : text) {
    const Glyph& glyph = GlyphOf(static_cast<unsigned char>(c));
    for (int row = 0; row < glyph.rows; ++row)
      for (int col = 0; col < glyph.width; ++col)
        dc.BlendText(x + glyph.left + col, baseline - glyph.top + row,
                     glyph.coverage[static_cast<size_t>(row * glyph.width + col)]);
    x += glyph.advance;
  }
  return x;
}

std::vector<std::string> WrapText(const DialogFont& font, std::string_view text, int width) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    // A word and the blanks that follow it go together; the blanks never start a line.
    size_t wordEnd = text.find(' ', i);
    if (wordEnd == std::string_view::npos) wordEnd = text.size();
    size_t next = text.find_first_not_of(' ', wordEnd);
    if (next == std::string_view::npos) next = text.size();
    std::string_view word = text.substr(i, wordEnd - i);
    if (!line.empty() && font.TextWidth(line) + font.TextWidth(word) > width) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      lines.push_back(line);
      line.clear();
    }
    line.append(text.substr(i, next - i));
    i = next;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

}  // namespace kestrix
