#include "arabtext/ByteClass.h"

#include <fribidi.h>

#include "arabtext/Cp1256.h"

namespace kestrix::arabtext {
namespace {

ByteKind KindOf(uint8_t byte) {
  if (byte < 0x20 || byte == 0x7F) return ByteKind::kControl;
  const char32_t c = UnicodeFromCp1256(byte);
  if (c == 0x200E || c == 0x200F) return ByteKind::kDirMark;
  if (c == 0x200C || c == 0x200D) return ByteKind::kArabicWord;
  if (c == 0x060C || c == 0x061B || c == 0x061F) return ByteKind::kArabicPunct;
  const FriBidiCharType type = fribidi_get_bidi_type(c);
  if (type == FRIBIDI_TYPE_AL || type == FRIBIDI_TYPE_RTL) return ByteKind::kArabicWord;
  // The only non-spacing marks of the code page are the Arabic harakat.
  if (type == FRIBIDI_TYPE_NSM) return ByteKind::kArabicWord;
  if (type == FRIBIDI_TYPE_LTR) return ByteKind::kLatinWord;
  if (type == FRIBIDI_TYPE_EN) return ByteKind::kDigit;
  return ByteKind::kNeutral;
}

ByteClassTable Build() {
  ByteClassTable table;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    table.kind[b] = KindOf(byte);
    table.arabicCovers[b] = true;
    table.ownSlot[b] = IsArabicAnchor(table.kind[b]) ? FontSlot::kArabic : FontSlot::kLatin;
    table.mirror[b] = byte;
    FriBidiChar mirrored = 0;
    if (fribidi_get_mirror_char(UnicodeFromCp1256(byte), &mirrored)) {
      const int back = Cp1256FromUnicode(mirrored);
      if (back >= 0) table.mirror[b] = static_cast<uint8_t>(back);
    }
  }
  return table;
}

}  // namespace

const ByteClassTable& BaseByteClasses() {
  static const ByteClassTable table = Build();
  return table;
}

}  // namespace kestrix::arabtext
