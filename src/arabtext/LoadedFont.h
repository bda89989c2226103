// One font file opened at one pixel size: the HarfBuzz font that shapes with it, the
// FreeType face that rasterises its glyphs, and its metrics in whole pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "arabtext/FontResolver.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;
struct hb_font_t;
struct hb_face_t;

namespace kestrix::arabtext {

// An anti-aliased glyph image: 8-bit coverage, rows top to bottom, placed relative to the
// pen position on the baseline (left to the right, top upward).
struct GlyphBitmap {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> coverage;
};

// Where a glyph's image may ink, placed as GlyphBitmap is.
struct GlyphBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
};

struct FontMetrics {
  int ascent = 0;   // pixels above the baseline the font's text may reach
  int descent = 0;  // pixels below it
  int averageWidth = 0;
  int maxAdvance = 0;
  int underlineOffset = 0;  // pixels below the baseline of the underline's top
  int underlineThickness = 1;
  int strikeOffset = 0;  // pixels above the baseline of the strike-out's top
  int strikeThickness = 1;
};

class LoadedFont {
 public:
  // Opens file at pixelSize. A file that cannot be opened gives a font with no glyphs and
  // zero advances, so callers never need to check.
  // The font keeps the FreeType library alive for as long as it needs it.
  LoadedFont(std::shared_ptr<FT_LibraryRec_> library, hb_face_t* face, const FontFile& file,
             int pixelSize);
  ~LoadedFont();
  LoadedFont(const LoadedFont&) = delete;
  LoadedFont& operator=(const LoadedFont&) = delete;

  // Unique for the life of the process: caches key shaped text and glyphs by it.
  uint32_t Serial() const { return serial_; }
  hb_font_t* HbFont() const { return hbFont_; }
  const FontMetrics& Metrics() const { return metrics_; }
  bool HasGlyph(char32_t codePoint) const;
  // The glyph as drawn; an empty bitmap for blank or unknown glyphs.
  GlyphBitmap Rasterize(uint32_t glyph) const;
  // A box holding every pixel Rasterize(glyph) inks, found from the glyph's outline without
  // rendering it, which at large sizes costs far more than loading the outline.
  GlyphBox InkBox(uint32_t glyph) const;

 private:
  // Loads the glyph into the face's slot as it is drawn: hinted, and made bold or oblique
  // as the font file asks.
  bool LoadForDrawing(uint32_t glyph) const;
  void ComputeMetrics(int pixelSize);
  // Opens the FreeType face from the file or from its bytes; FreeType's error code.
  int OpenFace(const FontFile& file);

  uint32_t serial_;
  std::shared_ptr<FT_LibraryRec_> library_;
  std::shared_ptr<const std::string> bytes_;  // what a face made from memory reads
  FT_FaceRec_* ftFace_ = nullptr;
  hb_font_t* hbFont_ = nullptr;
  bool oblique_ = false;
  bool embolden_ = false;
  int pixelSize_ = 0;
  FontMetrics metrics_;
};

}  // namespace kestrix::arabtext
