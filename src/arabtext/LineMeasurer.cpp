#include "arabtext/LineMeasurer.h"

#include <algorithm>
#include <cstring>

namespace kestrix::arabtext {

LineMeasurer::Memo* LineMeasurer::BestMemo(const FontPair& fonts, std::string_view text) {
  Memo* best = nullptr;
  for (Memo& memo : memos_) {
    if (memo.pair != fonts.Serial() || memo.stableEnd == 0 || (best && memo.stableEnd <= best->stableEnd)) continue;
    // The byte at the stable end decides the font of the neutrals before it, so it must
    // match too when there is one.
    const size_t compared = memo.stableEnd < memo.text.size() ? memo.stableEnd + 1 : memo.stableEnd;
    if (compared > text.size() || std::memcmp(memo.text.data(), text.data(), compared) != 0) continue;
    best = &memo;
  }
  return best;
}

LineMeasurer::Memo* LineMeasurer::GrownWordMemo(const FontPair& fonts, std::string_view text) {
  const ByteClassTable& t = fonts.Classes();
  for (Memo& memo : memos_) {
    // The text just measured, grown by a letter, is the usual case: its last byte is
    // compared before the whole prefix.
    if (memo.pair != fonts.Serial() || !memo.wordTail || memo.text.size() > text.size() ||
        memo.text.back() != text[memo.text.size() - 1] ||
        std::memcmp(memo.text.data(), text.data(), memo.text.size()) != 0)
      continue;
    const auto first = static_cast<uint8_t>(text[memo.stableEnd]);
    bool sameWord = true;
    for (size_t i = memo.text.size(); i < text.size() && sameWord; ++i)
      sameWord = SameWordBytes(t, first, static_cast<uint8_t>(text[i]));
    if (sameWord) return &memo;
  }
  return nullptr;
}

LineMeasurer::Memo* LineMeasurer::SameTextMemo(const FontPair& fonts, std::string_view text) {
  for (Memo& memo : memos_)
    if (memo.lastUse != 0 && memo.text.size() == text.size() && memo.pair == fonts.Serial() && memo.text == text)
      return &memo;
  return nullptr;
}

bool LineMeasurer::ExtendsRecent(const FontPair& fonts, std::string_view text) const {
  const Memo* m = recent_;
  return m && m->pair == fonts.Serial() && text.size() > m->text.size() &&
         std::memcmp(m->text.data(), text.data(), m->text.size()) == 0;
}

int32_t LineMeasurer::Grow(Memo& grown, const FontPair& fonts, std::string_view text) {
  const auto first = static_cast<uint8_t>(text[grown.stableEnd]);
  const ByteClassTable& t = fonts.Classes();
  const FontSlot slot = t.kind[first] == ByteKind::kArabicWord ? FontSlot::kArabic : t.ownSlot[first];
  const int64_t width = grown.stableWidth + shaper_.Width(fonts.Font(slot), slot, text.substr(grown.stableEnd));
  grown.text.append(text.substr(grown.text.size()));
  grown.width = static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
  Use(grown);
  return grown.width;
}

int32_t LineMeasurer::Width(const FontPair& fonts, std::string_view text) {
  // The line measured last, one byte longer, is the usual case while text is laid out: a
  // letter grows its last word; a space or a new word's first letter is split from its
  // stable end.
  const bool extendsRecent = ExtendsRecent(fonts, text);
  if (extendsRecent && recent_->wordTail && text.size() == recent_->text.size() + 1 &&
      SameWordBytes(fonts.Classes(), static_cast<uint8_t>(text[recent_->stableEnd]), static_cast<uint8_t>(text.back())))
    return Grow(*recent_, fonts, text);
  if (!extendsRecent) {
    if (Memo* same = SameTextMemo(fonts, text)) {
      Use(*same);
      return same->width;
    }
    if (Memo* grown = GrownWordMemo(fonts, text)) return Grow(*grown, fonts, text);
  }

  Memo* memo = extendsRecent && recent_->stableEnd > 0 ? recent_ : BestMemo(fonts, text);
  if (text.size() >= kLedgerBytes && (!memo || memo->stableEnd + kLedgerBytes < text.size())) {
    // A long line changed away from its end: only the part around the change is split.
    const int32_t width = static_cast<int32_t>(std::clamp<int64_t>(ledger_.Width(fonts, text), INT32_MIN, INT32_MAX));
    Memo& oldest = *std::min_element(memos_.begin(), memos_.end(),
                                     [](const Memo& a, const Memo& b) { return a.lastUse < b.lastUse; });
    oldest.pair = fonts.Serial();
    oldest.text.assign(text.data(), text.size());
    oldest.stableEnd = 0;  // not offered for growth: the ledger serves this line
    oldest.arabicAtStable = false;
    oldest.stableWidth = 0;
    oldest.wordTail = false;
    oldest.width = width;
    Use(oldest);
    return width;
  }
  const size_t start = memo ? memo->stableEnd : 0;
  int64_t width = memo ? memo->stableWidth : 0;
  const bool arabicAtStart = memo ? memo->arabicAtStable : false;

  segments_.clear();
  const bool arabicAtEnd = SplitSegments(text, start, arabicAtStart, fonts.Classes(), segments_);
  const size_t wordStart = StableSegmentEnd(text, fonts.Classes());
  const size_t stableEnd = std::max(start, wordStart);
  int64_t stableWidth = width;
  bool arabicAtStable = arabicAtEnd;
  bool stableStateFound = false;
  for (const Segment& s : segments_) {
    if (!stableStateFound && s.begin >= stableEnd) {
      arabicAtStable = s.arabicBefore;
      stableStateFound = true;
    }
    if (s.kind != SegmentKind::kInvisible) {
      const std::string_view bytes = text.substr(s.begin, s.end - s.begin);
      const int32_t w = shaper_.Width(fonts.Font(s.slot), s.slot, bytes);
      width += w;
      if (s.begin < stableEnd) stableWidth += w;
    }
  }

  if (!memo) memo = &*std::min_element(memos_.begin(), memos_.end(),
                                       [](const Memo& a, const Memo& b) { return a.lastUse < b.lastUse; });
  memo->pair = fonts.Serial();
  if (memo == recent_ && extendsRecent)
    memo->text.append(text.substr(memo->text.size()));
  else
    memo->text.assign(text.data(), text.size());
  memo->stableEnd = stableEnd;
  memo->arabicAtStable = arabicAtStable;
  memo->stableWidth = stableWidth;
  memo->wordTail = stableEnd == wordStart && stableEnd < text.size() &&
                   IsWordKind(fonts.Classes().kind[static_cast<uint8_t>(text.back())]);
  memo->width = static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
  Use(*memo);
  return memo->width;
}

}  // namespace kestrix::arabtext
