// Opens and keeps fonts. fontconfig lookups, file parsing and font creation are slow, so
// each is done once and remembered: resolved files by request, opened fonts by file and
// size, pairs by their two fonts and styles. Every cache is bounded; a font still held by
// a pair stays alive after it leaves the cache.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "arabtext/BoundedCache.h"
#include "arabtext/FontPair.h"
#include "arabtext/FontRequest.h"
#include "arabtext/FontResolver.h"

struct FT_LibraryRec_;
struct hb_face_t;

namespace kestrix::arabtext {

class FontStore {
 public:
  FontStore();
  ~FontStore();
  FontStore(const FontStore&) = delete;
  FontStore& operator=(const FontStore&) = delete;

  std::shared_ptr<FontPair> Pair(const FontRequest& latin, const FontRequest& arabic);

 private:
  struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  using StringMap = std::equal_to<>;

  std::shared_ptr<LoadedFont> Font(FontRole role, const FontRequest& request);
  const FontFile& File(FontRole role, const FontRequest& request);
  hb_face_t* Face(const FontFile& file);

  std::shared_ptr<FT_LibraryRec_> library_;
  BoundedCache<std::string, FontFile, StringHash, StringMap> files_;
  // Parsed font files; their number is bounded by the fonts installed.
  std::unordered_map<std::string, hb_face_t*> faces_;
  BoundedCache<std::string, std::shared_ptr<LoadedFont>, StringHash, StringMap> fonts_;
  BoundedCache<std::string, std::shared_ptr<FontPair>, StringHash, StringMap> pairs_;
};

}  // namespace kestrix::arabtext
