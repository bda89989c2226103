// How a new text differs from an old one, in whole paragraphs (each ends with its CR, the last
// with the end of the text): how many paragraphs at the start and at the end are the same bytes
// in both, and the part of the new text between them.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrix {

struct ParagraphDiff {
  size_t leading = 0;      // paragraphs at the start equal in both texts
  size_t trailing = 0;     // paragraphs at the end equal in both texts
  size_t middleBegin = 0;  // the new text's bytes between them: [middleBegin, middleEnd)
  size_t middleEnd = 0;
};

// The leading and trailing paragraphs never overlap, in either text.
ParagraphDiff DiffParagraphs(std::string_view oldText, std::string_view newText);

}  // namespace kestrix
