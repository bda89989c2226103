// The ordered list of display lines, numbered from 1. Lines are reached by number in constant
// time. Running totals of line lengths (and of the caret limits that going to each line
// imposes) are kept lazily, valid up to some line; an edit shifts the totals after it instead
// of dropping them, so that offset lookups cost the same near the end of a long text as near
// its start, and an edit costs the lines it touches and one pass over plain numbers. Each line
// also carries a flag telling whether it was changed since the last rebuild, so that a rebuild
// knows which lines it may keep as they are; the changed lines all lie between two bounds, so
// that they are found without a walk over the text.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "text/LineRecord.h"

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
  // Puts the lines of other, with their changed flags, in place of lines first..first+count-1
  // (first = Count() + 1 and count = 0 appends); other is left empty.
  void Splice(int32_t first, int32_t count, LineList& other);

  // Every line, handed over with its changed flag; the list is left empty.
  struct Detached {
    std::vector<std::unique_ptr<LineRecord>> records;
    std::vector<uint8_t> changed;
  };
  Detached TakeAll();

  // Whether line n was added or given other characters since MarkAllUnchanged.
  bool Changed(int32_t n) const { return n >= 1 && n <= Count() && changed_[static_cast<size_t>(n - 1)]; }
  // Every changed line lies in FirstChanged()..LastChanged(); both are 0 when none is.
  int32_t FirstChanged() const { return changedLow_; }
  int32_t LastChanged() const { return changedHigh_; }
  void MarkAllUnchanged();
  // Sets line n's characters; use this (not m_Chars directly) so the totals stay right.
  void SetChars(int32_t n, const CString& chars);
  // Whether line n ends its paragraph (with a CR).
  bool EndsParagraph(int32_t n) const { return n >= 1 && n <= Count() && breaks_[static_cast<size_t>(n - 1)]; }

  // Total length of lines 1..n (0 for n <= 0).
  int64_t LengthBefore(int32_t n) const { return PrefixLength(n - 1); }
  int64_t PrefixLength(int32_t n) const;
  // The smallest caret limit of lines 1..n: a line's length, less one when it ends with a CR.
  // Going to lines 1..n in turn leaves a caret index of at most this.
  int64_t PrefixCaretLimit(int32_t n) const;
  // The characters from offset start up to offset end, read from the lines they lie on.
  CString TextBetween(int64_t start, int64_t end) const;
  // The smallest n with PrefixLength(n) > offset, or Count() + 1 when there is none.
  int32_t FirstLineEndingAfter(int64_t offset) const;

 private:
  void Invalidate(int32_t fromLine);
  void Extend(int32_t n) const;
  // Line i's (0-based) caret limit, from its length and break.
  int64_t OwnLimit(size_t i, int64_t length) const { return breaks_[i] ? length - 1 : length; }
  // Recomputes the running limits from index from on, until they agree with the old ones again
  // at or past settledFrom.
  void RelimitFrom(size_t from, size_t settledFrom);
  void NoteChanged(int32_t low, int32_t high);

  std::vector<std::unique_ptr<LineRecord>> lines_;
  std::vector<uint8_t> changed_;  // one per line
  std::vector<uint8_t> breaks_;   // one per line: it ends with a CR
  int32_t changedLow_ = 0, changedHigh_ = 0;
  // prefixLength_[i] and prefixLimit_[i] describe lines 1..i+1, valid for i < size().
  mutable std::vector<int64_t> prefixLength_;
  mutable std::vector<int64_t> prefixLimit_;
};
