#include "arabtext/ShownPart.h"

#include <fribidi.h>

#include <algorithm>

#include "arabtext/Cp1256.h"

namespace arabtext {
namespace {

FriBidiCharType TypeOf(uint8_t byte) { return fribidi_get_bidi_type(UnicodeFromCp1256(byte)); }

// FriBidi pairs brackets with a stack of this depth and gives up past it.
constexpr size_t kBracketStackDepth = 63;

}  // namespace

bool ShownPart::RightToLeft(std::string_view text, bool rightToLeftDefault) {
  for (char c : text) {
    const FriBidiCharType type = TypeOf(static_cast<uint8_t>(c));
    if (FRIBIDI_IS_STRONG(type)) return FRIBIDI_IS_RTL(type);
  }
  return rightToLeftDefault;
}

std::optional<LinePart> ShownPart::Find(int64_t clipLeft, int64_t clipRight, int32_t x, const FontPair& fonts,
                                        std::string_view text, bool rightToLeftDefault,
                                        const std::function<int32_t()>& lineWidth) {
  const bool rtl = RightToLeft(text, rightToLeftDefault);
  // As the renderer reckons it: glyphs ink at most this far beyond their advance.
  int64_t reach = 0;
  for (FontSlot slot : {FontSlot::kLatin, FontSlot::kArabic}) {
    const FontMetrics& m = fonts.Font(slot).Metrics();
    reach = std::max(reach, 4 * (int64_t{m.ascent} + m.descent) + 64);
  }
  // The part must reach past the clip: right of it for a left-to-right line drawn from x;
  // left of it for a right-to-left line, whose start is drawn at its right end.
  const int64_t right = rtl ? int64_t{x} + lineWidth() : 0;
  const int64_t needed = rtl ? right - (clipLeft - reach) : clipRight + reach - x;
  if (needed <= 0) return LinePart{0, rtl ? right : int64_t{x}};

  openBrackets_.clear();
  bool bracketsGaveUp = false;
  int64_t width = 0;
  size_t start = 0, scanned = 0;
  bool arabicBefore = false;
  // Segments of a growing start of the text. Those before the window's stable end are final;
  // the next window resumes where they stop.
  for (size_t window = 4096;; window *= 2) {
    const size_t limit = std::min(window, text.size());
    const std::string_view known = text.substr(0, limit);
    const size_t stable = limit == text.size() ? limit : StableSegmentEnd(known, fonts.Classes());
    segments_.clear();
    SplitSegments(known, start, arabicBefore, fonts.Classes(), segments_);
    for (const Segment& s : segments_) {
      if (s.begin >= stable) {
        start = s.begin;
        arabicBefore = s.arabicBefore;
        break;
      }
      start = s.end;
      if (s.kind != SegmentKind::kInvisible)
        width += shaper_.Width(fonts.Font(s.slot), s.slot, text.substr(s.begin, s.end - s.begin));
      for (; scanned < s.end; ++scanned) {
        const FriBidiBracketType bracket = fribidi_get_bracket(UnicodeFromCp1256(static_cast<uint8_t>(text[scanned])));
        if (bracket == FRIBIDI_NO_BRACKET || bracketsGaveUp) continue;
        const uint32_t id = FRIBIDI_BRACKET_ID(bracket);
        if (FRIBIDI_IS_BRACKET_OPEN(bracket)) {
          if (openBrackets_.size() == kBracketStackDepth) bracketsGaveUp = true;
          openBrackets_.push_back(id);
        } else if (auto it = std::find(openBrackets_.rbegin(), openBrackets_.rend(), id); it != openBrackets_.rend()) {
          openBrackets_.erase(std::prev(it.base()), openBrackets_.end());
        }
      }
      if (width < needed || s.kind != SegmentKind::kWord || !openBrackets_.empty() || bracketsGaveUp) continue;
      const FriBidiCharType last = TypeOf(static_cast<uint8_t>(text[s.end - 1]));
      if (!FRIBIDI_IS_STRONG(last) || FRIBIDI_IS_RTL(last) != rtl) continue;
      return LinePart{s.end, rtl ? right - width : int64_t{x}};
    }
    if (limit == text.size()) return std::nullopt;
  }
}

}  // namespace arabtext
