// Rasterised glyphs by font and glyph id, bounded; and, apart from them, the boxes the
// glyphs ink, so that glyphs outside the clip are placed without being rasterised.
#pragma once

#include <cstdint>
#include <functional>

#include "arabtext/BoundedCache.h"
#include "arabtext/LoadedFont.h"

namespace kestrix::arabtext {

class GlyphCache {
 public:
  // Boxes are small, so many more of them are kept than images.
  explicit GlyphCache(size_t capacity = 4096) : cache_(capacity), boxes_(capacity * 4) {}

  // Valid until the next call.
  const GlyphBitmap& Get(const LoadedFont& font, uint32_t glyph) {
    const uint64_t key = KeyOf(font, glyph);
    if (GlyphBitmap* found = cache_.Find(key)) return *found;
    return cache_.Insert(key, font.Rasterize(glyph));
  }

  // The image if it has been rasterised and is still kept, else null; valid until the next call.
  const GlyphBitmap* Cached(const LoadedFont& font, uint32_t glyph) { return cache_.Find(KeyOf(font, glyph)); }

  // Holds every pixel Get(font, glyph) inks.
  GlyphBox Box(const LoadedFont& font, uint32_t glyph) {
    const uint64_t key = KeyOf(font, glyph);
    if (GlyphBox* found = boxes_.Find(key)) return *found;
    return boxes_.Insert(key, font.InkBox(glyph));
  }

 private:
  static uint64_t KeyOf(const LoadedFont& font, uint32_t glyph) {
    return static_cast<uint64_t>(font.Serial()) << 32 | glyph;
  }

  BoundedCache<uint64_t, GlyphBitmap, std::hash<uint64_t>, std::equal_to<>> cache_;
  BoundedCache<uint64_t, GlyphBox, std::hash<uint64_t>, std::equal_to<>> boxes_;
};

}  // namespace kestrix::arabtext
