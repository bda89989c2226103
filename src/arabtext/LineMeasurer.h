// Measures the advance width of a line, reusing earlier work when the line extends one
// measured shortly before: the control measures "a", "ab", "abc", ... while it lays out
// text, so only the word being extended is looked up again, not the whole line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/FontPair.h"
#include "arabtext/SegmentLedger.h"
#include "arabtext/Segmenter.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {

class LineMeasurer {
 public:
  explicit LineMeasurer(SegmentShaper& shaper) : shaper_(shaper) {}

  // The width the line is drawn with: the sum of its segments' widths.
  int32_t Width(const FontPair& fonts, std::string_view text);

 private:
  // What is known about a line measured earlier: its bytes, and the width of its segments
  // before the point where appending could change them.
  struct Memo {
    uint32_t pair = 0;
    std::string text;
    size_t stableEnd = 0;
    bool arabicAtStable = false;
    int64_t stableWidth = 0;
    // Whether the text past stableEnd is one word, which text extended by more letters of
    // the word still ends with.
    bool wordTail = false;
    // The whole text's width: a line is measured several times over between edits.
    int32_t width = 0;
    uint64_t lastUse = 0;
  };

  Memo* SameTextMemo(const FontPair& fonts, std::string_view text);
  // Whether text is the text of the memo used last with more after it.
  bool ExtendsRecent(const FontPair& fonts, std::string_view text) const;
  // Measures text, which extends grown's trailing word, from grown's stable end.
  int32_t Grow(Memo& grown, const FontPair& fonts, std::string_view text);
  void Use(Memo& memo) {
    memo.lastUse = ++clock_;
    recent_ = &memo;
  }

  Memo* BestMemo(const FontPair& fonts, std::string_view text);
  // The memo whose trailing word text merely lengthens, so that only that word is measured
  // again and the line is not split once more.
  Memo* GrownWordMemo(const FontPair& fonts, std::string_view text);

  // Lines at least this long that no memo covers are measured against the ledger.
  static constexpr size_t kLedgerBytes = 4096;

  SegmentShaper& shaper_;
  SegmentLedger ledger_{shaper_};
  std::array<Memo, 4> memos_;
  uint64_t clock_ = 0;
  Memo* recent_ = nullptr;  // the memo used last
  std::vector<Segment> segments_;
};

}  // namespace kestrix::arabtext
