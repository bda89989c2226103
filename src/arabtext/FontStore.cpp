#include "arabtext/FontStore.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

namespace kestrix::arabtext {
namespace {

std::string FileKey(const FontFile& file) { return file.path + '#' + std::to_string(file.index); }

}  // namespace

FontStore::FontStore() : files_(256), fonts_(32), pairs_(64) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0)
    library_ = std::shared_ptr<FT_LibraryRec_>(library, [](FT_Library l) { FT_Done_FreeType(l); });
}

FontStore::~FontStore() {
  pairs_.Clear();
  fonts_.Clear();
  for (auto& [key, face] : faces_) hb_face_destroy(face);
}

const FontFile& FontStore::File(FontRole role, const FontRequest& request) {
  std::string key = (role == FontRole::kArabic ? "A|" : "L|") + std::to_string(request.weight) +
                    (request.italic ? "|i|" : "|r|") + request.face;
  if (FontFile* found = files_.Find(key)) return *found;
  return files_.Insert(std::move(key), ResolveFontFile(role, request.face, request.weight, request.italic));
}

hb_face_t* FontStore::Face(const FontFile& file) {
  if (file.path.empty()) return nullptr;
  std::string key = FileKey(file);
  if (auto it = faces_.find(key); it != faces_.end()) return it->second;
  hb_blob_t* blob = nullptr;
  if (file.bytes) {
    // The blob keeps the bytes alive for as long as HarfBuzz needs them.
    auto* held = new std::shared_ptr<const std::string>(file.bytes);
    blob = hb_blob_create(
        (*held)->data(), static_cast<unsigned>((*held)->size()), HB_MEMORY_MODE_READONLY, held,
        [](void* p) { delete static_cast<std::shared_ptr<const std::string>*>(p); });
  } else {
    blob = hb_blob_create_from_file(file.path.c_str());
  }
  hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(file.index));
  hb_blob_destroy(blob);
  faces_.emplace(std::move(key), face);
  return face;
}

std::shared_ptr<LoadedFont> FontStore::Font(FontRole role, const FontRequest& request) {
  // Copy: the resolved-file cache may move its entries when the font cache below inserts.
  const FontFile file = File(role, request);
  std::string key = FileKey(file) + '|' + std::to_string(request.pixelHeight) +
                    (file.syntheticOblique ? "o" : "") + (file.syntheticBold ? "b" : "");
  if (auto* found = fonts_.Find(key)) return *found;
  auto font = std::make_shared<LoadedFont>(library_, Face(file), file, request.pixelHeight);
  fonts_.Insert(std::move(key), font);
  return font;
}

std::shared_ptr<FontPair> FontStore::Pair(const FontRequest& latin, const FontRequest& arabic) {
  std::shared_ptr<LoadedFont> latinFont = Font(FontRole::kLatin, latin);
  std::shared_ptr<LoadedFont> arabicFont = Font(FontRole::kArabic, arabic);
  const char styles[] = {static_cast<char>('0' + latin.underline), static_cast<char>('0' + latin.strikeOut),
                         static_cast<char>('0' + arabic.underline),
                         static_cast<char>('0' + arabic.strikeOut), '\0'};
  std::string key = std::to_string(latinFont->Serial()) + '|' + std::to_string(arabicFont->Serial()) + '|' + styles;
  if (auto* found = pairs_.Find(key)) return *found;
  auto pair = std::make_shared<FontPair>(latinFont, arabicFont, SlotStyle{latin.underline, latin.strikeOut},
                                         SlotStyle{arabic.underline, arabic.strikeOut});
  pairs_.Insert(std::move(key), pair);
  return pair;
}

}  // namespace kestrix::arabtext
