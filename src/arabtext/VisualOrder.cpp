#include "arabtext/VisualOrder.h"

#include <fribidi.h>

#include <algorithm>
#include <cstddef>

namespace kestrix::arabtext {

const std::vector<OrderedSegment>& VisualOrder::Order(std::string_view text, const std::vector<Segment>& segments,
                                                      bool rightToLeftDefault) {
  const BidiByte* table = BidiBytes();
  bytes_.clear();
  positionOfByte_.assign(text.size(), -1);
  for (const Segment& s : segments)
    for (uint32_t i = s.begin; i < s.end; ++i) {
      positionOfByte_[i] = static_cast<int32_t>(bytes_.size());
      bytes_.push_back(&table[static_cast<uint8_t>(text[i])]);
    }
  const size_t length = bytes_.size();
  levels_.assign(length, 0);

  bool rightToLeft = rightToLeftDefault;
  bool ok = length > 0 && (resolver_.Resolve(bytes_.data(), length, rightToLeft, levels_.data()) ||
                           ResolveWithFriBidi(rightToLeft));
  const auto baseLevel = static_cast<uint8_t>(rightToLeft ? 1 : 0);
  if (!ok) std::fill(levels_.begin(), levels_.end(), static_cast<int8_t>(baseLevel));

  order_.resize(segments.size());
  for (size_t k = 0; k < segments.size(); ++k) {
    const Segment& s = segments[k];
    const auto first = static_cast<size_t>(positionOfByte_[s.begin]);
    size_t chosen = first;
    for (size_t p = first; p < first + (s.end - s.begin); ++p)
      if (FRIBIDI_IS_STRONG(bytes_[p]->type)) {
        chosen = p;
        break;
      }
    order_[k] = {static_cast<uint32_t>(k), static_cast<uint8_t>(std::max<int8_t>(levels_[chosen], 0))};
  }
  // Trailing white space goes back to the paragraph level.
  for (size_t k = segments.size(); k > 0; --k) {
    const Segment& s = segments[k - 1];
    if (s.kind != SegmentKind::kSingle || bytes_[static_cast<size_t>(positionOfByte_[s.begin])]->type != FRIBIDI_TYPE_WS)
      break;
    order_[k - 1].level = baseLevel;
  }

  // Reverse every run at or above each level, from the highest down to the lowest odd one.
  uint8_t highest = 0;
  uint8_t lowestOdd = 255;
  for (const OrderedSegment& o : order_) {
    highest = std::max(highest, o.level);
    if (o.level % 2 == 1) lowestOdd = std::min(lowestOdd, o.level);
  }
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    for (size_t i = 0; i < order_.size();) {
      if (order_[i].level < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < order_.size() && order_[j].level >= level) ++j;
      std::reverse(order_.begin() + static_cast<std::ptrdiff_t>(i), order_.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
  return order_;
}

bool VisualOrder::ResolveWithFriBidi(bool& rightToLeft) {
  types_.resize(bytes_.size());
  bracketTypes_.resize(bytes_.size());
  for (size_t i = 0; i < bytes_.size(); ++i) {
    types_[i] = bytes_[i]->type;
    bracketTypes_[i] = bytes_[i]->bracket;
  }
  FriBidiParType base = rightToLeft ? FRIBIDI_PAR_WRTL : FRIBIDI_PAR_WLTR;
  const bool ok = fribidi_get_par_embedding_levels_ex(types_.data(), bracketTypes_.data(),
                                                      static_cast<FriBidiStrIndex>(bytes_.size()), &base,
                                                      levels_.data()) != 0;
  rightToLeft = FRIBIDI_IS_RTL(base);
  return ok;
}

}  // namespace kestrix::arabtext
