#include "arabtext/LoadedFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace kestrix::arabtext {
namespace {

std::atomic<uint32_t> nextSerial{1};

// 26.6 fixed point to whole pixels, rounding up (for extents that must fit).
int CeilPixels(hb_position_t v) { return static_cast<int>((static_cast<int64_t>(v) + 63) >> 6); }
int RoundPixels(hb_position_t v) { return static_cast<int>((static_cast<int64_t>(v) + 32) >> 6); }

}  // namespace

LoadedFont::LoadedFont(std::shared_ptr<FT_LibraryRec_> library, hb_face_t* face,
                       const FontFile& file, int pixelSize)
    : serial_(nextSerial.fetch_add(1)),
      library_(std::move(library)),
      oblique_(file.syntheticOblique),
      embolden_(file.syntheticBold),
      pixelSize_(pixelSize) {
  if (library_ && !file.path.empty() && OpenFace(file) == 0) {
    if (FT_Set_Pixel_Sizes(ftFace_, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
      FT_Done_Face(ftFace_);
      ftFace_ = nullptr;
    }
  } else {
    ftFace_ = nullptr;
  }
  // Shaping works unhinted in 26.6 units at the pixel size; FreeType hinting is used only
  // for the glyph images, so advances do not depend on how glyphs rasterise.
  hbFont_ = hb_font_create(ftFace_ && face ? face : hb_face_get_empty());
  hb_font_set_scale(hbFont_, pixelSize * 64, pixelSize * 64);
  ComputeMetrics(pixelSize);
}

int LoadedFont::OpenFace(const FontFile& file) {
  if (!file.bytes) return FT_New_Face(library_.get(), file.path.c_str(), file.index, &ftFace_);
  bytes_ = file.bytes;
  return FT_New_Memory_Face(library_.get(), reinterpret_cast<const FT_Byte*>(bytes_->data()),
                            static_cast<FT_Long>(bytes_->size()), file.index, &ftFace_);
}

LoadedFont::~LoadedFont() {
  hb_font_destroy(hbFont_);
  if (ftFace_) FT_Done_Face(ftFace_);
}

bool LoadedFont::HasGlyph(char32_t codePoint) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(hbFont_, codePoint, &glyph) && glyph != 0;
}

void LoadedFont::ComputeMetrics(int pixelSize) {
  FontMetrics& m = metrics_;
  hb_font_extents_t extents{};
  hb_font_get_h_extents(hbFont_, &extents);
  // The larger of the typographic and the clipping (Windows) extents, so that nothing the
  // font draws is cut off at the line's edges.
  hb_position_t clipAscent = 0;
  hb_position_t clipDescent = 0;
  hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT, &clipAscent);
  hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_DESCENT, &clipDescent);
  m.ascent = std::max(CeilPixels(extents.ascender), CeilPixels(clipAscent));
  m.descent = std::max(CeilPixels(-extents.descender), CeilPixels(clipDescent));
  if (m.ascent + m.descent <= 0) {  // no font: a plausible empty line
    m.ascent = (pixelSize * 4 + 4) / 5;
    m.descent = pixelSize - m.ascent;
  }

  hb_codepoint_t x = 0;
  m.averageWidth = hb_font_get_nominal_glyph(hbFont_, 'x', &x)
                       ? RoundPixels(hb_font_get_glyph_h_advance(hbFont_, x))
                       : pixelSize / 2;
  m.maxAdvance = ftFace_ ? CeilPixels(static_cast<hb_position_t>(ftFace_->size->metrics.max_advance))
                         : pixelSize;

  hb_position_t offset = 0;
  hb_position_t size = 0;
  const int minThickness = std::max(1, pixelSize / 16);
  if (hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, &offset) &&
      hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_UNDERLINE_SIZE, &size)) {
    m.underlineThickness = std::max(minThickness, RoundPixels(size));
    m.underlineOffset = std::max(1, RoundPixels(-offset));
  } else {
    m.underlineThickness = minThickness;
    m.underlineOffset = std::max(1, m.descent / 2);
  }
  // Keep the underline inside the line.
  m.underlineOffset = std::min(m.underlineOffset, std::max(0, m.descent - m.underlineThickness));
  if (hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, &offset) &&
      hb_ot_metrics_get_position(hbFont_, HB_OT_METRICS_TAG_STRIKEOUT_SIZE, &size) && offset > 0) {
    m.strikeThickness = std::max(minThickness, RoundPixels(size));
    m.strikeOffset = RoundPixels(offset) + m.strikeThickness / 2;
  } else {
    m.strikeThickness = minThickness;
    m.strikeOffset = pixelSize * 3 / 10 + m.strikeThickness;
  }
  m.strikeOffset = std::min(m.strikeOffset, m.ascent);
}

bool LoadedFont::LoadForDrawing(uint32_t glyph) const {
  if (!ftFace_ || glyph == 0) return false;
  // Light hinting fits heights to the pixel grid but keeps widths, matching the unhinted
  // advances the shaper uses.
  if (FT_Load_Glyph(ftFace_, glyph, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = ftFace_->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (embolden_) {
      const FT_Pos strength = std::max<FT_Pos>(32, pixelSize_ * 64 / 28);
      FT_Outline_EmboldenXY(&slot->outline, strength, 0);
    }
    if (oblique_) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  return true;
}

GlyphBox LoadedFont::InkBox(uint32_t glyph) const {
  if (!LoadForDrawing(glyph)) return {};
  FT_GlyphSlot slot = ftFace_->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
    const GlyphBitmap image = Rasterize(glyph);
    return {image.left, image.top, image.width, image.rows};
  }
  // The outline lies within its control box, and anti-aliasing inks only the pixels the
  // outline covers, so the control box rounded outward to whole pixels holds all the ink.
  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  const auto left = static_cast<int>(box.xMin >> 6);
  const auto bottom = static_cast<int>(box.yMin >> 6);
  const auto right = static_cast<int>((box.xMax + 63) >> 6);
  const auto top = static_cast<int>((box.yMax + 63) >> 6);
  if (slot->outline.n_points == 0 || right <= left || top <= bottom) return {};
  return {left, top, right - left, top - bottom};
}

GlyphBitmap LoadedFont::Rasterize(uint32_t glyph) const {
  GlyphBitmap out;
  if (!LoadForDrawing(glyph)) return out;
  FT_GlyphSlot slot = ftFace_->glyph;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return out;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return out;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.width = static_cast<int>(bitmap.width);
  out.rows = static_cast<int>(bitmap.rows);
  out.coverage.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.rows));
  for (int row = 0; row < out.rows; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    std::copy(src, src + out.width, out.coverage.begin() + static_cast<ptrdiff_t>(row) * out.width);
  }
  return out;
}

}  // namespace kestrix::arabtext
