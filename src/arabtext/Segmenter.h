// Splits code page text into shaping segments: the units that are shaped, measured and
// cached on their own, and put in visual order as wholes. A segment is a word of one font
// and kind (Arabic letters with their marks, Latin letters, or digits), a single
// neutral or Arabic punctuation character, or an invisible direction mark. Controls belong
// to no segment.
//
// The split depends only on the bytes and the fonts, never on the paragraph direction, so
// a line measures the same whatever its visual order, and the width of a line is the sum
// of its segments' widths. Words never join across a space, so nothing is lost by shaping
// them apart.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "arabtext/ByteClass.h"

namespace arabtext {

enum class SegmentKind : uint8_t {
  kWord,
  kSingle,     // one neutral or Arabic punctuation character
  kInvisible,  // LRM or RLM
};

struct Segment {
  uint32_t begin = 0;
  uint32_t end = 0;
  FontSlot slot = FontSlot::kLatin;
  SegmentKind kind = SegmentKind::kWord;
  // Whether the nearest font-fixing character before the segment is Arabic: the state
  // to resume segmenting from here.
  bool arabicBefore = false;
};

// Whether next continues a word that first starts.
bool SameWordBytes(const ByteClassTable& classes, uint8_t first, uint8_t next);

// Appends the segments of text[start..) to out, given the state before start; returns the
// state at the end.
bool SplitSegments(std::string_view text, size_t start, bool arabicBefore, const ByteClassTable& classes,
                   std::vector<Segment>& out);

// Where the segments of text stop being final: text extended by more bytes splits the
// same up to this index (given the byte at the index, if any, is unchanged). It is the
// start of a trailing word, which may grow, or of trailing neutrals, whose font waits on
// what follows them.
size_t StableSegmentEnd(std::string_view text, const ByteClassTable& classes);

}  // namespace arabtext
