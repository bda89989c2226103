// A long line's segments with their running widths, kept from one measurement to the next.
// Typing into a long line changes it in one place: the line is split again only from the last
// word before that place until its segments fall back in step with the ledger's, and the
// widths of all the others are taken from the ledger.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arabtext/FontPair.h"
#include "arabtext/Segmenter.h"
#include "arabtext/SegmentShaper.h"

namespace kestrix::arabtext {

class SegmentLedger {
 public:
  explicit SegmentLedger(SegmentShaper& shaper) : shaper_(shaper) {}

  // The width of text. The ledger then describes text, unless text is a start of the line it
  // describes (measured for the caret), which it keeps.
  int64_t Width(const FontPair& fonts, std::string_view text);

 private:
  int64_t Rebuild(const FontPair& fonts, std::string_view text);
  // The width of text when it differs from the ledger's line inside one word alone (or, kept,
  // is a start of it ending in a word): that word is measured again and nothing split.
  std::optional<int64_t> WithinOneWord(const FontPair& fonts, std::string_view text, size_t prefix, size_t suffix,
                                       bool keep);
  int32_t WidthOf(const FontPair& fonts, std::string_view text, const Segment& s);
  // The ledger's segment beginning at position, or npos.
  size_t SegmentAt(size_t position) const;
  // Makes the ledger describe text: its segments before `kept`, then fresh_, then its own
  // from `resumed` on, moved by delta.
  void Splice(std::string_view text, size_t kept, size_t resumed, int64_t delta);

  SegmentShaper& shaper_;
  bool valid_ = false;
  uint32_t pair_ = 0;
  std::string text_;
  std::vector<Segment> segments_;
  std::vector<int64_t> before_;  // before_[k]: the width of segments_[0, k)
  std::vector<Segment> fresh_;
  std::vector<int32_t> freshWidths_;
  std::vector<Segment> window_;
};

}  // namespace kestrix::arabtext
