// The ordered list of display lines, numbered from 1, reached by number in constant time.
//
// The lines sit in a gap buffer: the gap stands where the list was last changed, so a change
// near the one before (typing, an edit, the rebuild feeding lines at the end) moves nothing
// else. With each line go running totals: before the gap, the length of the text up to and
// including the line and the smallest caret limit of the lines up to it; after the gap, the
// length from the line to the end of the text, and the line's own limit. A change at the gap
// alters no other line's totals, so an edit costs the lines it touches and the distance the
// gap travels, never the length of the text. Each line also carries a flag telling whether it
// was changed since the last rebuild, so that a rebuild knows which lines it may keep as they
// are; the changed lines all lie between two bounds, so that they are found without a walk.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "text/LineRecord.h"

namespace kestrix {

class LineList {
 public:
  int32_t Count() const { return static_cast<int32_t>(gapStart_ + (slots_.size() - gapEnd_)); }
  bool Empty() const { return Count() == 0; }
  // Line n (1-based), or null when n is outside 1..Count().
  LineRecord* At(int64_t n) const {
    return n < 1 || n > Count() ? nullptr : Slot(static_cast<size_t>(n - 1)).record.get();
  }

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
  bool Changed(int32_t n) const { return n >= 1 && n <= Count() && Slot(static_cast<size_t>(n - 1)).changed; }
  // Every changed line lies in FirstChanged()..LastChanged(); both are 0 when none is.
  int32_t FirstChanged() const { return changedLow_; }
  int32_t LastChanged() const { return changedHigh_; }
  void MarkAllUnchanged();
  // Sets line n's characters; use this (not m_Chars directly) so the totals stay right.
  void SetChars(int32_t n, const CString& chars);
  // Whether line n ends its paragraph (with a CR).
  bool EndsParagraph(int32_t n) const { return n >= 1 && n <= Count() && Slot(static_cast<size_t>(n - 1)).breaks; }

  // Total length of lines 1..n (0 for n <= 0).
  int64_t LengthBefore(int32_t n) const { return PrefixLength(n - 1); }
  int64_t PrefixLength(int32_t n) const;
  // The smallest caret limit of lines 1..n: a line's length, less one when it ends with a CR.
  // Going to lines 1..n in turn leaves a caret index of at most this. Moves the gap to line n.
  int64_t PrefixCaretLimit(int32_t n) const;
  // The characters from offset start up to offset end, read from the lines they lie on.
  CString TextBetween(int64_t start, int64_t end) const;
  // The smallest n with PrefixLength(n) > offset, or Count() + 1 when there is none.
  int32_t FirstLineEndingAfter(int64_t offset) const;
  // The work done so far: lines the gap passed over, put at it and dropped after it (a wider
  // gap's copy, once in a while, aside).
  int64_t SlotsMoved() const { return slotsMoved_; }
  // Changes with every change of the lines' characters, and is never the same for two line
  // lists: a reader that kept the text of a revision need not read it again while it holds.
  uint64_t Revision() const { return revision_; }

 private:
  struct LineSlot {
    std::unique_ptr<LineRecord> record;
    int64_t total = 0;  // before the gap: length of lines 1..this; after it: this..the last
    int64_t limit = 0;  // before the gap: smallest limit of lines 1..this; after it: its own
    uint8_t changed = 0;
    uint8_t breaks = 0;  // it ends with a CR
  };
  // Line k (0-based).
  LineSlot& Slot(size_t k) const { return slots_[k < gapStart_ ? k : k + (gapEnd_ - gapStart_)]; }
  int64_t HeadTotal() const { return gapStart_ ? slots_[gapStart_ - 1].total : 0; }
  int64_t HeadLimit() const;
  int64_t TailTotal() const { return gapEnd_ < slots_.size() ? slots_[gapEnd_].total : 0; }
  // Makes lines 0..k-1 the ones before the gap.
  void MoveGapTo(size_t k) const;
  // Puts a line just before the gap.
  void PushAtGap(std::unique_ptr<LineRecord> record, uint8_t changed);
  // Removes count lines just after the gap.
  void DropAfterGap(size_t count);
  void NoteChanged(int32_t low, int32_t high);
  void Revise();

  // The gap moves on lookups too, which change no line.
  mutable std::vector<LineSlot> slots_;
  mutable size_t gapStart_ = 0, gapEnd_ = 0;
  mutable int64_t slotsMoved_ = 0;
  int32_t changedLow_ = 0, changedHigh_ = 0;
  uint64_t revision_ = 0;
};

}  // namespace kestrix
