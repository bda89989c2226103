#include "arabtext/ShownPart.h"

#include <fribidi.h>

#include <algorithm>

#include "arabtext/BidiLevels.h"

namespace kestrix::arabtext {
namespace {

const BidiByte& BidiOf(uint8_t byte) {
  static const BidiByte* const table = BidiBytes();
  return table[byte];
}

FriBidiCharType TypeOf(uint8_t byte) { return BidiOf(byte).type; }

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

namespace {

// Follows the pairing of brackets as FriBidi does, one byte after the other.
class BracketStack {
 public:
  void Add(uint8_t byte) {
    const FriBidiBracketType bracket = BidiOf(byte).bracket;
    if (bracket == FRIBIDI_NO_BRACKET || gaveUp_) return;
    const uint32_t id = FRIBIDI_BRACKET_ID(bracket);
    if (FRIBIDI_IS_BRACKET_OPEN(bracket)) {
      if (open_.size() == kBracketStackDepth) gaveUp_ = true;
      open_.push_back(id);
    } else if (auto it = std::find(open_.rbegin(), open_.rend(), id); it != open_.rend()) {
      open_.erase(std::prev(it.base()), open_.end());
    }
  }
  // No pair can span this place: none is open, and pairing has not given up.
  bool Closed() const { return open_.empty() && !gaveUp_; }

 private:
  std::vector<uint32_t> open_;
  bool gaveUp_ = false;
};

// Whether the byte is strong in the paragraph's direction: the text on its other side cannot
// change how the text on this side resolves.
bool StrongIn(uint8_t byte, bool rtl) {
  const FriBidiCharType type = TypeOf(byte);
  return FRIBIDI_IS_STRONG(type) && FRIBIDI_IS_RTL(type) == rtl;
}

}  // namespace

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
  const int64_t left = x, right = int64_t{x} + lineWidth();
  // How far in from each end of the line the part must reach.
  const int64_t fromLeft = clipRight + reach - left, fromRight = right - (clipLeft - reach);
  if (fromLeft <= 0 || fromRight <= 0) return LinePart{0, 0, left};  // nothing of it in view
  // A left-to-right line starts at its left end, a right-to-left one at its right end.
  const int64_t startNeeded = rtl ? fromRight : fromLeft, endNeeded = rtl ? fromLeft : fromRight;
  if (startNeeded <= endNeeded) {
    const auto part = StartPart(fonts, text, rtl, startNeeded);
    if (!part) return std::nullopt;
    return LinePart{0, part->first, rtl ? right - part->second : left};
  }
  const auto part = EndPart(fonts, text, rtl, endNeeded);
  if (!part) return std::nullopt;
  return LinePart{part->first, text.size(), rtl ? left : right - part->second};
}

std::optional<std::pair<size_t, int64_t>> ShownPart::StartPart(const FontPair& fonts, std::string_view text,
                                                               bool rtl, int64_t needed) {
  BracketStack brackets;
  int64_t width = 0;
  size_t scanned = 0, end = 0;
  // Segments of a growing start of the text, until one may end the part.
  const bool found = WalkSegments(text, 0, false, 4096, fonts.Classes(), segments_, [&](const Segment& s) {
    if (s.kind != SegmentKind::kInvisible)
      width += shaper_.Width(fonts.Font(s.slot), s.slot, text.substr(s.begin, s.end - s.begin));
    for (; scanned < s.end; ++scanned) brackets.Add(static_cast<uint8_t>(text[scanned]));
    end = s.end;
    return width >= needed && s.kind == SegmentKind::kWord && brackets.Closed() &&
           StrongIn(static_cast<uint8_t>(text[s.end - 1]), rtl);
  });
  if (!found) return std::nullopt;
  return std::pair{end, width};
}

std::optional<std::pair<size_t, int64_t>> ShownPart::EndPart(const FontPair& fonts, std::string_view text, bool rtl,
                                                             int64_t needed) {
  const ByteClassTable& classes = fonts.Classes();
  auto at = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  for (size_t window = 4096;; window *= 2) {
    // Segments from a word's start near the end split as in the whole line: the word fixes
    // the font state at once, whatever came before it.
    // Looked for backwards, so that a long word ends the search at once.
    size_t restart = window >= text.size() ? 0 : text.size() - window;
    while (restart > 0 && !(IsWordKind(classes.kind[at(restart)]) && !SameWordBytes(classes, at(restart - 1), at(restart))))
      --restart;
    segments_.clear();
    SplitSegments(text, restart, false, classes, segments_);
    // Whether a pair may span each segment's start, brackets followed from the line's start.
    BracketStack brackets;
    for (size_t i = 0; i < restart; ++i) brackets.Add(at(i));
    pairsClosed_.assign(segments_.size(), false);
    size_t scanned = restart;
    for (size_t k = 0; k < segments_.size(); ++k) {
      for (; scanned < segments_[k].begin; ++scanned) brackets.Add(at(scanned));
      pairsClosed_[k] = brackets.Closed();
    }
    int64_t width = 0;
    for (size_t k = segments_.size(); k > 0; --k) {
      const Segment& s = segments_[k - 1];
      if (s.kind != SegmentKind::kInvisible)
        width += shaper_.Width(fonts.Font(s.slot), s.slot, text.substr(s.begin, s.end - s.begin));
      if (width >= needed && s.kind == SegmentKind::kWord && pairsClosed_[k - 1] && StrongIn(at(s.begin), rtl))
        return std::pair{static_cast<size_t>(s.begin), width};
    }
    if (restart == 0) return std::nullopt;
  }
}

}  // namespace kestrix::arabtext
