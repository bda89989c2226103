// Puts a line's segments in visual order by the bidirectional algorithm. The line is one
// paragraph whose direction is that of its first strong character, or the reading order when
// it has none.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "arabtext/BidiLevels.h"
#include "arabtext/Segmenter.h"

namespace kestrix::arabtext {

struct OrderedSegment {
  uint32_t index = 0;  // into the logical segment list
  uint8_t level = 0;   // odd levels run right to left
};

class VisualOrder {
 public:
  // Segments from left to right. Trailing spaces take the paragraph level, so they stay at
  // the line's logical end.
  const std::vector<OrderedSegment>& Order(std::string_view text, const std::vector<Segment>& segments,
                                           bool rightToLeftDefault);

 private:
  // The levels of bytes_ by FriBidi, for text the resolver hands back; false when it fails.
  bool ResolveWithFriBidi(bool& rightToLeft);

  BidiLevels resolver_;
  std::vector<const BidiByte*> bytes_;
  std::vector<int32_t> positionOfByte_;
  std::vector<uint32_t> types_;
  std::vector<uint32_t> bracketTypes_;
  std::vector<int8_t> levels_;
  std::vector<OrderedSegment> order_;
};

}  // namespace kestrix::arabtext
