// Rasterised glyphs by font and glyph id, bounded.
#pragma once

#include <cstdint>
#include <functional>

#include "arabtext/BoundedCache.h"
#include "arabtext/LoadedFont.h"

namespace arabtext {

class GlyphCache {
 public:
  explicit GlyphCache(size_t capacity = 4096) : cache_(capacity) {}

  // Valid until the next call.
  const GlyphBitmap& Get(const LoadedFont& font, uint32_t glyph) {
    const uint64_t key = static_cast<uint64_t>(font.Serial()) << 32 | glyph;
    if (GlyphBitmap* found = cache_.Find(key)) return *found;
    return cache_.Insert(key, font.Rasterize(glyph));
  }

 private:
  BoundedCache<uint64_t, GlyphBitmap, std::hash<uint64_t>, std::equal_to<>> cache_;
};

}  // namespace arabtext
