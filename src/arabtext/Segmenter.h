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

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "arabtext/ByteClass.h"

namespace kestrix::arabtext {

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

// The word of segments (the split of old) that an edit turning old into text falls inside,
// leaving every segment as it was but that word's end and the positions after it: the edit
// replaces old[prefix, old.size() - suffix), both ends lie within the word, and every byte
// put in or taken out continues the word. npos otherwise.
size_t WordHoldingEdit(const std::vector<Segment>& segments, const ByteClassTable& classes, std::string_view old,
                       std::string_view text, size_t prefix, size_t suffix);

// Appends the segments of text[start..) to out, given the state before start; returns the
// state at the end.
bool SplitSegments(std::string_view text, size_t start, bool arabicBefore, const ByteClassTable& classes,
                   std::vector<Segment>& out);

// Where the segments of text stop being final: text extended by more bytes splits the
// same up to this index (given the byte at the index, if any, is unchanged). It is the
// start of a trailing word, which may grow, or of trailing neutrals, whose font waits on
// what follows them.
size_t StableSegmentEnd(std::string_view text, const ByteClassTable& classes);

// Calls visit(segment) for the segments of text from start (a segment's start, with the state
// recorded there) in order, until visit returns true; returns whether it did. The text is split
// in growing windows, the first ending at firstLimit, so a walk that stops early splits only
// what it visits. A segment is visited once it is final: short of the text's end, a window's
// trailing word or neutrals, and its last segment, wait for the next window, which resumes at
// that segment's start with the state recorded there.
template <typename Visit>
bool WalkSegments(std::string_view text, size_t start, bool arabicBefore, size_t firstLimit,
                  const ByteClassTable& classes, std::vector<Segment>& scratch, Visit&& visit) {
  for (size_t window = std::max<size_t>(firstLimit, 1);; window *= 2) {
    const size_t limit = std::min(window, text.size());
    const std::string_view known = text.substr(0, limit);
    scratch.clear();
    SplitSegments(known, start, arabicBefore, classes, scratch);
    const size_t stable = limit == text.size() || scratch.empty()
                              ? limit
                              : std::min(StableSegmentEnd(known, classes), size_t{scratch.back().begin});
    for (const Segment& s : scratch) {
      if (s.begin >= stable) {
        start = s.begin;
        arabicBefore = s.arabicBefore;
        break;
      }
      if (visit(s)) return true;
    }
    if (limit == text.size()) return false;
  }
}

}  // namespace kestrix::arabtext
