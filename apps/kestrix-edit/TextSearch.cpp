#include "TextSearch.h"

#include <algorithm>
#include <string>

namespace kestrix {

namespace {

// The harakat of the code page (fathatan to sukun) and the tatweel.
bool IsIgnorableMark(unsigned char c) {
  switch (c) {
    case 0xF0: case 0xF1: case 0xF2: case 0xF3: case 0xF5: case 0xF6: case 0xF8: case 0xFA:
    case 0xDC:
      return true;
    default:
      return false;
  }
}

// Latin letters fold to lower case; the code page's accented Latin letters are all lower case.
unsigned char Folded(unsigned char c, bool matchCase) {
  return !matchCase && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The length of a match of pattern (marks already taken out when ignored) starting at start;
// nothing when there is none. Marks inside the text are stepped over, never at its start.
std::optional<size_t> MatchAt(std::string_view text, size_t start, const std::string& pattern,
                              const SearchOptions& options) {
  const auto first = static_cast<unsigned char>(text[start]);
  if (options.ignoreMarks && IsIgnorableMark(first)) return std::nullopt;
  size_t t = start;
  for (char wanted : pattern) {
    while (options.ignoreMarks && t < text.size() && IsIgnorableMark(static_cast<unsigned char>(text[t])) &&
           t > start)
      ++t;
    if (t >= text.size()) return std::nullopt;
    if (Folded(static_cast<unsigned char>(text[t]), options.matchCase) !=
        Folded(static_cast<unsigned char>(wanted), options.matchCase))
      return std::nullopt;
    ++t;
  }
  // Marks on the last letter belong to the match.
  while (options.ignoreMarks && t < text.size() && IsIgnorableMark(static_cast<unsigned char>(text[t]))) ++t;
  return t - start;
}

}  // namespace

std::optional<TextMatch> FindMatch(std::string_view text, std::string_view pattern, size_t from, bool forward,
                                   const SearchOptions& options) {
  std::string wanted;
  for (char c : pattern)
    if (!options.ignoreMarks || !IsIgnorableMark(static_cast<unsigned char>(c))) wanted += c;
  if (wanted.empty() || text.empty()) return std::nullopt;
  from = std::min(from, text.size());
  const size_t n = text.size();
  // Every start once, from the place asked for round the end of the text.
  for (size_t step = 0; step < n; ++step) {
    size_t start = forward ? (from + step) % n : (from + n - 1 - step) % n;
    if (std::optional<size_t> length = MatchAt(text, start, wanted, options)) return TextMatch{start, *length};
  }
  return std::nullopt;
}

}  // namespace kestrix
