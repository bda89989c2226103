// The find bar's search, one row a case: case, harakat and tatweel, direction and going round.
#include <gtest/gtest.h>

#include "TextSearch.h"

namespace kestrix {

namespace {

struct SearchRow {
  const char* name;
  const char* text;
  const char* pattern;
  size_t from;
  bool forward;
  SearchOptions options;
  long offset;  // -1: no match
  size_t length;
};

// "محمد" plain, and with damma, fatha, shadda and fatha; a tatweel inside "سـلام".
constexpr const char* kPlain = "\xE3\xCD\xE3\xCF";
constexpr const char* kMarked = "\xE3\xF5\xCD\xF3\xE3\xF8\xF3\xCF";

TEST(TextSearch, FindsByTheRulesOfEachOption) {
  const std::string both = std::string("x ") + kMarked + " y " + kPlain;
  const SearchRow rows[] = {
      {"case folded by default", "Hello hello", "HELLO", 0, true, {}, 0, 5},
      {"match case skips the other case", "Hello hello", "hello", 0, true, {true, false}, 6, 5},
      {"forward from inside the first goes to the second", "ab ab", "ab", 1, true, {}, 3, 2},
      {"forward goes round the end", "ab ab", "ab", 4, true, {}, 0, 2},
      {"backward takes the last start before from", "ab ab ab", "ab", 6, false, {}, 3, 2},
      {"backward goes round the start", "ab ab", "ab", 0, false, {}, 3, 2},
      {"no match", "abc", "x", 0, true, {}, -1, 0},
      {"empty pattern", "abc", "", 0, true, {}, -1, 0},
      {"marks count when not ignored", both.c_str(), kPlain, 0, true, {}, 13, 4},
      {"ignored marks: the marked word matches, its marks inside", both.c_str(), kPlain, 0, true, {false, true}, 2, 8},
      {"ignored marks in the pattern too", both.c_str(), kMarked, 3, true, {false, true}, 13, 4},
      {"tatweel ignored", "\xD3\xDC\xE1\xC7\xE3", "\xD3\xE1\xC7\xE3", 0, true, {false, true}, 0, 5},
      {"a pattern of marks alone finds nothing when they are ignored", kMarked, "\xF3", 0, true, {false, true}, -1, 0},
      {"a match across a paragraph break", "ab\rcd", "b\rc", 0, true, {}, 1, 3},
  };
  for (const SearchRow& row : rows) {
    std::optional<TextMatch> found = FindMatch(row.text, row.pattern, row.from, row.forward, row.options);
    if (row.offset < 0) {
      EXPECT_FALSE(found) << row.name;
      continue;
    }
    ASSERT_TRUE(found) << row.name;
    EXPECT_EQ(found->offset, static_cast<size_t>(row.offset)) << row.name;
    EXPECT_EQ(found->length, row.length) << row.name;
  }
}

}  // namespace

}  // namespace kestrix
