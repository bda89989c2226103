// What each code page byte is for layout: which font it belongs to and how it groups into
// shaping segments.
//
// Font rule: Arabic letters (including the Persian and Urdu ones of the code page), Arabic
// marks, the tatweel, ZWNJ and ZWJ, and the Arabic punctuation (، ؛ ؟) use the Arabic font.
// LRM and RLM are invisible and take no font. Everything else uses the Latin font, except
// that spaces and punctuation lying between two Arabic-font characters (only neutrals in
// between) use the Arabic font when it has a glyph for them, so a space or a comma inside
// Arabic text matches it. Digits always keep the Latin font: they are read left to right
// and look the same everywhere. A Latin-font character the Latin font lacks falls back to
// the Arabic font when that one has it.
#pragma once

#include <array>
#include <cstdint>

namespace kestrix::arabtext {

enum class ByteKind : uint8_t {
  kControl,      // CR, LF and other C0 controls, DEL: no width, nothing drawn, splits words
  kArabicWord,   // Arabic letter, mark, tatweel, ZWNJ, ZWJ: shaped together as a word
  kArabicPunct,  // ، ؛ ؟: Arabic font, shaped alone
  kLatinWord,    // letter of a left-to-right script
  kDigit,        // European digits, superscript digits
  kNeutral,      // spaces, punctuation, symbols: shaped alone, font chosen by neighbours
  kDirMark,      // LRM, RLM: no width, nothing drawn, steer the visual order only
};

enum class FontSlot : uint8_t { kLatin = 0, kArabic = 1 };

struct ByteClassTable {
  std::array<ByteKind, 256> kind{};
  // For kNeutral bytes: whether the Arabic font has a glyph for it.
  std::array<bool, 256> arabicCovers{};
  // For kLatinWord, kDigit and kNeutral bytes: the font used when Arabic context does not
  // apply (Latin, unless only the Arabic font has the glyph).
  std::array<FontSlot, 256> ownSlot{};
  // The byte drawn in place of a mirrored character (brackets, guillemets) inside
  // right-to-left text; the byte itself when it has no mirror in the code page.
  std::array<uint8_t, 256> mirror{};
};

// Kinds and mirrors from Unicode properties; coverage assumes both fonts have every glyph.
const ByteClassTable& BaseByteClasses();

inline bool IsWordKind(ByteKind k) {
  return k == ByteKind::kArabicWord || k == ByteKind::kLatinWord || k == ByteKind::kDigit;
}
// Bytes that fix the font of neighbouring neutrals.
inline bool IsArabicAnchor(ByteKind k) {
  return k == ByteKind::kArabicWord || k == ByteKind::kArabicPunct;
}

}  // namespace kestrix::arabtext
