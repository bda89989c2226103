#include "arabtext/Segmenter.h"

namespace kestrix::arabtext {
namespace {

uint8_t At(std::string_view text, size_t i) { return static_cast<uint8_t>(text[i]); }

bool SameWord(const ByteClassTable& t, uint8_t first, uint8_t next) {
  const ByteKind kind = t.kind[first];
  if (t.kind[next] != kind) return false;
  return kind == ByteKind::kArabicWord || t.ownSlot[first] == t.ownSlot[next];
}

}  // namespace

bool SameWordBytes(const ByteClassTable& classes, uint8_t first, uint8_t next) {
  return IsWordKind(classes.kind[first]) && SameWord(classes, first, next);
}

size_t WordHoldingEdit(const std::vector<Segment>& segments, const ByteClassTable& classes, std::string_view old,
                       std::string_view text, size_t prefix, size_t suffix) {
  constexpr size_t kNone = std::string_view::npos;
  if (prefix == 0 || suffix == 0) return kNone;
  const size_t oldEnd = old.size() - suffix, newEnd = text.size() - suffix;
  const auto after = std::upper_bound(segments.begin(), segments.end(), prefix - 1,
                                      [](size_t at, const Segment& s) { return at < s.begin; });
  if (after == segments.begin()) return kNone;
  const Segment& word = *(after - 1);
  if (word.kind != SegmentKind::kWord || word.end <= oldEnd) return kNone;
  const uint8_t first = At(old, word.begin);
  for (size_t i = prefix; i < newEnd; ++i)
    if (!SameWord(classes, first, At(text, i))) return kNone;
  for (size_t i = prefix; i < oldEnd; ++i)
    if (!SameWord(classes, first, At(old, i))) return kNone;
  return static_cast<size_t>(after - 1 - segments.begin());
}

bool SplitSegments(std::string_view text, size_t start, bool arabicBefore, const ByteClassTable& t,
                   std::vector<Segment>& out) {
  const size_t n = text.size();
  bool arabic = arabicBefore;
  size_t i = start;
  while (i < n) {
    const uint8_t byte = At(text, i);
    const ByteKind kind = t.kind[byte];
    const auto begin = static_cast<uint32_t>(i);
    switch (kind) {
      case ByteKind::kControl:
        arabic = false;
        ++i;
        break;
      case ByteKind::kArabicWord:
      case ByteKind::kLatinWord:
      case ByteKind::kDigit: {
        size_t j = i + 1;
        while (j < n && SameWord(t, byte, At(text, j))) ++j;
        const FontSlot slot = kind == ByteKind::kArabicWord ? FontSlot::kArabic : t.ownSlot[byte];
        out.push_back({begin, static_cast<uint32_t>(j), slot, SegmentKind::kWord, arabic});
        arabic = kind == ByteKind::kArabicWord;
        i = j;
        break;
      }
      case ByteKind::kArabicPunct:
        out.push_back({begin, begin + 1, FontSlot::kArabic, SegmentKind::kSingle, arabic});
        arabic = true;
        ++i;
        break;
      case ByteKind::kNeutral:
      case ByteKind::kDirMark: {
        // A run of neutrals takes the Arabic font only with Arabic on both sides.
        size_t j = i;
        while (j < n && (t.kind[At(text, j)] == ByteKind::kNeutral || t.kind[At(text, j)] == ByteKind::kDirMark)) ++j;
        const bool arabicAfter = j < n && IsArabicAnchor(t.kind[At(text, j)]);
        for (size_t k = i; k < j; ++k) {
          const uint8_t b = At(text, k);
          const auto at = static_cast<uint32_t>(k);
          if (t.kind[b] == ByteKind::kDirMark) {
            out.push_back({at, at + 1, FontSlot::kLatin, SegmentKind::kInvisible, arabic});
            continue;
          }
          const FontSlot slot =
              arabic && arabicAfter && t.arabicCovers[b] ? FontSlot::kArabic : t.ownSlot[b];
          out.push_back({at, at + 1, slot, SegmentKind::kSingle, arabic});
        }
        i = j;
        break;
      }
    }
  }
  return arabic;
}

size_t StableSegmentEnd(std::string_view text, const ByteClassTable& t) {
  size_t end = text.size();
  if (end == 0) return 0;
  const uint8_t last = At(text, end - 1);
  const ByteKind kind = t.kind[last];
  if (IsWordKind(kind)) {
    while (end > 0 && SameWord(t, last, At(text, end - 1))) --end;
    return end;
  }
  if (kind == ByteKind::kNeutral || kind == ByteKind::kDirMark) {
    while (end > 0 && (t.kind[At(text, end - 1)] == ByteKind::kNeutral ||
                       t.kind[At(text, end - 1)] == ByteKind::kDirMark))
      --end;
    return end;
  }
  return end;  // a control or Arabic punctuation closes everything before it
}

}  // namespace kestrix::arabtext
