// Finding a text in the editor's text (code page 1256, a CR for each paragraph break), for the
// find bar: with or without the case of Latin letters, and optionally blind to the Arabic
// vowel marks (harakat) and the tatweel, so that "محمد" finds "مُحَمَّد".
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kestrix {

struct SearchOptions {
  bool matchCase = false;
  bool ignoreMarks = false;  // harakat and tatweel, in the text and in what is looked for
};

struct TextMatch {
  size_t offset = 0;
  size_t length = 0;  // marks skipped inside the match count in it
};

// The first match starting at or after from (forward), or the last one starting before from
// (backward), going round the end of the text once; nothing when the text holds none or the
// pattern is empty (or only marks that are ignored).
std::optional<TextMatch> FindMatch(std::string_view text, std::string_view pattern, size_t from, bool forward,
                                   const SearchOptions& options);

}  // namespace kestrix
