#include "arabtext/SegmentLedger.h"

#include <algorithm>
#include <optional>

#include "framework/text/CommonEnds.h"

namespace kestrix::arabtext {

int32_t SegmentLedger::WidthOf(const FontPair& fonts, std::string_view text, const Segment& s) {
  if (s.kind == SegmentKind::kInvisible) return 0;
  return shaper_.Width(fonts.Font(s.slot), s.slot, text.substr(s.begin, s.end - s.begin));
}

int64_t SegmentLedger::Rebuild(const FontPair& fonts, std::string_view text) {
  segments_.clear();
  SplitSegments(text, 0, false, fonts.Classes(), segments_);
  before_.assign(1, 0);
  for (const Segment& s : segments_) before_.push_back(before_.back() + WidthOf(fonts, text, s));
  text_.assign(text.data(), text.size());
  pair_ = fonts.Serial();
  valid_ = true;
  return before_.back();
}

size_t SegmentLedger::SegmentAt(size_t position) const {
  auto it = std::lower_bound(segments_.begin(), segments_.end(), position,
                             [](const Segment& s, size_t p) { return s.begin < p; });
  return it != segments_.end() && it->begin == position ? static_cast<size_t>(it - segments_.begin())
                                                        : std::string_view::npos;
}

void SegmentLedger::Splice(std::string_view text, size_t kept, size_t resumed, int64_t delta) {
  // In place: the segments [kept, resumed) give way to fresh_, and those after them move.
  const size_t replaced = resumed - kept, added = fresh_.size();
  const auto at = static_cast<std::ptrdiff_t>(kept);
  int64_t running = before_[kept];
  const int64_t widthShift = [&] {
    int64_t sum = running;
    for (int32_t w : freshWidths_) sum += w;
    return sum - before_[resumed];
  }();
  if (added > replaced) {
    segments_.insert(segments_.begin() + at + static_cast<std::ptrdiff_t>(replaced), added - replaced, Segment{});
    before_.insert(before_.begin() + at + 1 + static_cast<std::ptrdiff_t>(replaced), added - replaced, 0);
  } else if (added < replaced) {
    segments_.erase(segments_.begin() + at + static_cast<std::ptrdiff_t>(added),
                    segments_.begin() + at + static_cast<std::ptrdiff_t>(replaced));
    before_.erase(before_.begin() + at + 1 + static_cast<std::ptrdiff_t>(added),
                  before_.begin() + at + 1 + static_cast<std::ptrdiff_t>(replaced));
  }
  for (size_t i = 0; i < added; ++i) {
    segments_[kept + i] = fresh_[i];
    running += freshWidths_[i];
    before_[kept + i + 1] = running;
  }
  if (delta != 0 || widthShift != 0)
    for (size_t k = kept + added; k < segments_.size(); ++k) {
      segments_[k].begin = static_cast<uint32_t>(int64_t{segments_[k].begin} + delta);
      segments_[k].end = static_cast<uint32_t>(int64_t{segments_[k].end} + delta);
      before_[k + 1] += widthShift;
    }
  text_.assign(text.data(), text.size());
}

std::optional<int64_t> SegmentLedger::WithinOneWord(const FontPair& fonts, std::string_view text, size_t prefix,
                                                     size_t suffix, bool keep) {
  const std::string_view old = text_;
  if (keep) {
    // A start of the line ending inside a word, perhaps with a letter that continues it: the
    // segments before that word and the word's start.
    if (prefix == 0) return std::nullopt;
    const auto after = std::upper_bound(segments_.begin(), segments_.end(), prefix - 1,
                                        [](size_t at, const Segment& s) { return at < s.begin; });
    if (after == segments_.begin()) return std::nullopt;
    Segment word = *(after - 1);
    const auto first = static_cast<uint8_t>(old[word.begin]);
    if (word.kind != SegmentKind::kWord || word.end < prefix ||
        (text.size() > prefix && !SameWordBytes(fonts.Classes(), first, static_cast<uint8_t>(text.back()))))
      return std::nullopt;
    word.end = static_cast<uint32_t>(text.size());
    return before_[static_cast<size_t>(after - 1 - segments_.begin())] + WidthOf(fonts, text, word);
  }
  const size_t k = WordHoldingEdit(segments_, fonts.Classes(), old, text, prefix, suffix);
  if (k == std::string_view::npos) return std::nullopt;
  const int64_t delta = static_cast<int64_t>(text.size()) - static_cast<int64_t>(old.size());
  segments_[k].end = static_cast<uint32_t>(segments_[k].end + delta);
  const int64_t widthShift = WidthOf(fonts, text, segments_[k]) - (before_[k + 1] - before_[k]);
  for (size_t later = k + 1; later < segments_.size(); ++later) {
    segments_[later].begin = static_cast<uint32_t>(segments_[later].begin + delta);
    segments_[later].end = static_cast<uint32_t>(segments_[later].end + delta);
  }
  for (size_t j = k + 1; j < before_.size(); ++j) before_[j] += widthShift;
  text_.replace(prefix, old.size() - suffix - prefix, text.substr(prefix, text.size() - suffix - prefix));
  return before_.back();
}

int64_t SegmentLedger::Width(const FontPair& fonts, std::string_view text) {
  if (!valid_ || pair_ != fonts.Serial() || text.size() > UINT32_MAX) return Rebuild(fonts, text);
  const std::string_view old = text_;
  const size_t prefix = CommonPrefix(old, text);
  const size_t suffix = CommonSuffix(old, text, std::min(old.size(), text.size()) - prefix);
  // A start of the line (with a tatweel, perhaps), measured for the caret, leaves the ledger
  // as it is.
  const bool keep = text.size() < old.size() && prefix + 1 >= text.size();
  const int64_t delta = static_cast<int64_t>(text.size()) - static_cast<int64_t>(old.size());

  if (const std::optional<int64_t> width = WithinOneWord(fonts, text, prefix, suffix, keep)) return *width;

  // Resume at the last word that begins before the first change: what lies before it is
  // split as before, and splitting from a word's start needs only the state it records.
  size_t kept = static_cast<size_t>(
      std::lower_bound(segments_.begin(), segments_.end(), prefix, [](const Segment& s, size_t p) { return s.begin < p; }) -
      segments_.begin());
  while (kept > 0 && segments_[kept - 1].kind != SegmentKind::kWord) --kept;
  if (kept > 0) --kept;
  const bool fromWord = kept < segments_.size() && segments_[kept].kind == SegmentKind::kWord && segments_[kept].begin < prefix;
  if (!fromWord) kept = 0;
  size_t start = fromWord ? segments_[kept].begin : 0;
  bool arabicBefore = fromWord && segments_[kept].arabicBefore;

  const size_t suffixStart = text.size() - suffix;
  fresh_.clear();
  freshWidths_.clear();
  int64_t width = before_[kept];
  int64_t total = 0;
  size_t resumed = segments_.size();
  const bool inStep = WalkSegments(text, start, arabicBefore, std::max(suffixStart, start) + 256, fonts.Classes(),
                                   window_, [&](const Segment& s) {
    // From a word in the unchanged end on, the line splits as the ledger's line did.
    if (s.kind == SegmentKind::kWord && s.begin >= suffixStart) {
      const size_t match = SegmentAt(static_cast<size_t>(static_cast<int64_t>(s.begin) - delta));
      if (match != std::string_view::npos && segments_[match].kind == SegmentKind::kWord &&
          segments_[match].arabicBefore == s.arabicBefore) {
        resumed = match;
        total = width + (before_.back() - before_[match]);
        return true;
      }
    }
    const int32_t w = WidthOf(fonts, text, s);
    fresh_.push_back(s);
    freshWidths_.push_back(w);
    width += w;
    return false;
  });
  if (!keep) Splice(text, kept, resumed, delta);
  return inStep ? total : width;
}

}  // namespace kestrix::arabtext
