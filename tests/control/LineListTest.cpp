// The line list against a plain vector of strings: random inserts, erases, splices and
// replacements of lines, with the running totals read at random between edits (so the gap
// stands anywhere when the next edit comes) and every total compared with a recomputation
// after each round.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "text/LineList.h"

namespace kestrix {

namespace {

class PlainLines {
 public:
  std::vector<std::string> chars;
  std::vector<bool> changed;

  int64_t PrefixLength(int32_t n) const {
    int64_t total = 0;
    for (int32_t i = 0; i < std::min<int32_t>(n, Count()); ++i) total += static_cast<int64_t>(chars[i].size());
    return total;
  }
  int64_t PrefixCaretLimit(int32_t n) const {
    int64_t limit = std::numeric_limits<int64_t>::max();
    for (int32_t i = 0; i < std::min<int32_t>(n, Count()); ++i) {
      const std::string& s = chars[i];
      auto length = static_cast<int64_t>(s.size());
      limit = std::min(limit, s.find('\r') != std::string::npos ? length - 1 : length);
    }
    return limit;
  }
  int32_t FirstLineEndingAfter(int64_t offset) const {
    int64_t total = 0;
    for (int32_t n = 1; n <= Count(); ++n)
      if ((total += static_cast<int64_t>(chars[n - 1].size())) > offset) return n;
    return Count() + 1;
  }
  int32_t Count() const { return static_cast<int32_t>(chars.size()); }
};

// Lines as the store holds them: letters, and a CR at the end of a paragraph's last line.
std::string RandomLine(std::mt19937& random) {
  const char letters[] = {'a', ' ', '\xC7', '\xC8', '\xF0', '\xDC'};
  std::string s(random() % 9, 'a');
  for (char& ch : s) ch = letters[random() % sizeof letters];
  if (random() % 2) s += '\r';
  return s;
}

// An edit that keeps the line's length: the last character becomes a CR or stops being one,
// or another character changes.
std::string SameLengthEdit(std::mt19937& random, std::string s) {
  if (s.empty()) return s;
  if (random() % 2)
    s.back() = s.back() == '\r' ? 'b' : '\r';
  else if (s.size() > 1)
    s[random() % (s.size() - 1)] = 'c';
  return s;
}

void ExpectSameTotals(const LineList& list, const PlainLines& plain, int32_t n, const std::string& where) {
  ASSERT_EQ(list.PrefixLength(n), plain.PrefixLength(n)) << where << ", lines 1.." << n;
  ASSERT_EQ(list.LengthBefore(n), plain.PrefixLength(n - 1)) << where << ", before line " << n;
  ASSERT_EQ(list.PrefixCaretLimit(n), plain.PrefixCaretLimit(n)) << where << ", limit of 1.." << n;
}

TEST(LineList, RunningTotalsMatchARecountAfterRandomEdits) {
  std::mt19937 random(23);
  LineList list;
  PlainLines plain;
  for (int round = 0; round < 4000; ++round) {
    const std::string where = "round " + std::to_string(round);
    for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) {
      const int32_t count = plain.Count();
      const int32_t n = 1 + static_cast<int32_t>(random() % static_cast<unsigned>(count + 1));
      switch (random() % 9) {
        case 0:
        case 1: {  // insert a line before line n (n = count + 1 appends)
          std::string s = RandomLine(random);
          auto record = std::make_unique<LineRecord>();
          record->m_Chars = s;
          list.InsertBefore(n, std::move(record));
          plain.chars.insert(plain.chars.begin() + (n - 1), s);
          plain.changed.insert(plain.changed.begin() + (n - 1), true);
          break;
        }
        case 2: {
          std::string s = RandomLine(random);
          auto record = std::make_unique<LineRecord>();
          record->m_Chars = s;
          list.Append(std::move(record));
          plain.chars.push_back(s);
          plain.changed.push_back(true);
          break;
        }
        case 3:  // erase the last line
          if (count > 0) {
            ASSERT_EQ(list.TakeLast()->m_Chars, plain.chars.back()) << where;
            plain.chars.pop_back();
            plain.changed.pop_back();
          }
          break;
        case 4:
        case 5:  // replace a line's characters
        case 6:
          if (n <= count) {
            std::string s = random() % 2 ? RandomLine(random) : SameLengthEdit(random, plain.chars[n - 1]);
            list.SetChars(n, s);
            if (s != plain.chars[n - 1]) plain.changed[n - 1] = true;
            plain.chars[n - 1] = s;
          }
          break;
        case 7:
          if (random() % 2) {  // put a few new lines in place of a run of old ones
            const auto removed = static_cast<int32_t>(random() % static_cast<unsigned>(count + 2 - n));
            LineList other;
            std::vector<std::string> added;
            for (auto k = random() % 4; k > 0; --k) {
              added.push_back(RandomLine(random));
              auto record = std::make_unique<LineRecord>();
              record->m_Chars = added.back();
              other.Append(std::move(record));
            }
            if (random() % 2) other.MarkAllUnchanged();
            const bool flagged = other.FirstChanged() != 0;
            list.Splice(n, removed, other);
            ASSERT_TRUE(other.Empty()) << where;
            plain.chars.erase(plain.chars.begin() + (n - 1), plain.chars.begin() + (n - 1 + removed));
            plain.chars.insert(plain.chars.begin() + (n - 1), added.begin(), added.end());
            plain.changed.erase(plain.changed.begin() + (n - 1), plain.changed.begin() + (n - 1 + removed));
            plain.changed.insert(plain.changed.begin() + (n - 1), added.size(), flagged);
            break;
          }
          [[fallthrough]];
        default:
          if (random() % 16 == 0) {
            LineList::Detached all = list.TakeAll();
            ASSERT_EQ(all.records.size(), plain.chars.size()) << where;
            for (size_t i = 0; i < all.records.size(); ++i) {
              list.Append(std::move(all.records[i]));
              plain.changed[i] = true;
            }
          } else {
            list.MarkAllUnchanged();
            std::fill(plain.changed.begin(), plain.changed.end(), false);
          }
          break;
      }
      // A lookup between edits makes the totals valid up to some line only.
      if (random() % 2) {
        const auto upTo = static_cast<int32_t>(random() % static_cast<unsigned>(plain.Count() + 2));
        ASSERT_NO_FATAL_FAILURE(ExpectSameTotals(list, plain, upTo, where));
      }
    }
    ASSERT_EQ(list.Count(), plain.Count()) << where;
    for (int32_t n = -1; n <= plain.Count() + 1; ++n) {
      ASSERT_NO_FATAL_FAILURE(ExpectSameTotals(list, plain, n, where));
      if (n >= 1 && n <= plain.Count()) {
        ASSERT_EQ(list.At(n)->m_Chars, plain.chars[n - 1]) << where << ", line " << n;
        ASSERT_EQ(list.Changed(n), plain.changed[n - 1]) << where << ", changed flag of line " << n;
        if (plain.changed[n - 1]) {
          ASSERT_TRUE(n >= list.FirstChanged() && n <= list.LastChanged())
              << where << ", line " << n << " changed outside " << list.FirstChanged() << ".." << list.LastChanged();
        }
      }
    }
    const int64_t total = plain.PrefixLength(plain.Count());
    for (int64_t offset = -1; offset <= total + 1; offset += 1 + static_cast<int64_t>(random() % 3))
      ASSERT_EQ(list.FirstLineEndingAfter(offset), plain.FirstLineEndingAfter(offset))
          << where << ", offset " << offset;
    // Keep the list a few dozen lines long.
    if (plain.Count() > 40) {
      list.Clear();
      plain.chars.clear();
      plain.changed.clear();
    }
  }
}

}  // namespace

}  // namespace kestrix
