// The ordered list of display lines, numbered from 1. Lines are reached by number in constant
// time. Running totals of line lengths (and of the caret limits that going to each line
// imposes) are kept lazily, valid up to the first line changed since, so that offset lookups
// cost the same near the end of a long text as near its start. Each line also carries a flag
// telling whether it was changed since the last rebuild, so that a rebuild knows which lines it
// may keep as they are.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "text/LineRecord.h"

namespace kestrix {

class LineList {
 public:
  int32_t Count() const { return static_cast<int32_t>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  // Line n (1-based), or null when n is outside 1..Count().
  LineRecord* At(int64_t n) const;

  void Append(std::unique_ptr<LineRecord> record);
  // Inserts before line n, so the record becomes line n; n = Count() + 1 appends.
  void InsertBefore(int32_t n, std::unique_ptr<LineRecord> record);
  void Clear();
  // Removes the last line and hands it over.
  std::unique_ptr<LineRecord> TakeLast();

  // Every line, handed over with its changed flag; the list is left empty.
  struct Detached {
    std::vector<std::unique_ptr<LineRecord>> records;
    std::vector<uint8_t> changed;
  };
  Detached TakeAll();

  // Whether line n was added or given other characters since MarkAllUnchanged.
  bool Changed(int32_t n) const { return n >= 1 && n <= Count() && changed_[static_cast<size_t>(n - 1)]; }
  void MarkAllUnchanged();
  // Sets line n's characters; use this (not m_Chars directly) so the totals stay right.
  void SetChars(int32_t n, const CString& chars);

  // Total length of lines 1..n (0 for n <= 0).
  int64_t LengthBefore(int32_t n) const { return PrefixLength(n - 1); }
  int64_t PrefixLength(int32_t n) const;
  // The smallest caret limit of lines 1..n: a line's length, less one when it ends with a CR.
  // Going to lines 1..n in turn leaves a caret index of at most this.
  int64_t PrefixCaretLimit(int32_t n) const;
  // The smallest n with PrefixLength(n) > offset, or Count() + 1 when there is none.
  int32_t FirstLineEndingAfter(int64_t offset) const;

 private:
  void Invalidate(int32_t fromLine);
  void Extend(int32_t n) const;

  std::vector<std::unique_ptr<LineRecord>> lines_;
  std::vector<uint8_t> changed_;  // one per line
  // prefixLength_[i] and prefixLimit_[i] describe lines 1..i+1, valid for i < size().
  mutable std::vector<int64_t> prefixLength_;
  mutable std::vector<int64_t> prefixLimit_;
};

}  // namespace kestrix
