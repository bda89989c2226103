#include "text/LineList.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace kestrix {

namespace {

constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();

bool EndsWithBreak(const CString& chars) { return !chars.empty() && chars.back() == '\r'; }
int64_t OwnLimit(int64_t length, bool breaks) { return breaks ? length - 1 : length; }

}  // namespace

int64_t LineList::HeadLimit() const { return gapStart_ ? slots_[gapStart_ - 1].limit : kNoLimit; }

void LineList::MoveGapTo(size_t k) const {
  while (gapStart_ < k) {
    // The first line after the gap comes before it.
    LineSlot moved = std::move(slots_[gapEnd_]);
    const int64_t own = moved.total - (gapEnd_ + 1 < slots_.size() ? slots_[gapEnd_ + 1].total : 0);
    moved.total = HeadTotal() + own;
    moved.limit = std::min(HeadLimit(), moved.limit);
    slots_[gapStart_++] = std::move(moved);
    ++gapEnd_;
    ++slotsMoved_;
  }
  while (gapStart_ > k) {
    // The last line before the gap goes after it.
    LineSlot moved = std::move(slots_[gapStart_ - 1]);
    const int64_t own = moved.total - (gapStart_ >= 2 ? slots_[gapStart_ - 2].total : 0);
    moved.total = TailTotal() + own;
    moved.limit = OwnLimit(own, moved.breaks != 0);
    --gapStart_;
    slots_[--gapEnd_] = std::move(moved);
    ++slotsMoved_;
  }
}

void LineList::Revise() {
  static std::atomic<uint64_t> lastRevision{0};
  revision_ = ++lastRevision;
}

void LineList::PushAtGap(std::unique_ptr<LineRecord> record, uint8_t changed) {
  Revise();
  if (gapStart_ == gapEnd_) {
    // A new gap, half the lines wide, between the same two parts.
    const size_t tail = slots_.size() - gapEnd_;
    std::vector<LineSlot> wider(slots_.size() + std::max<size_t>(64, slots_.size() / 2));
    std::move(slots_.begin(), slots_.begin() + static_cast<ptrdiff_t>(gapStart_), wider.begin());
    std::move(slots_.begin() + static_cast<ptrdiff_t>(gapEnd_), slots_.end(), wider.end() - static_cast<ptrdiff_t>(tail));
    slots_ = std::move(wider);
    gapEnd_ = slots_.size() - tail;
  }
  LineSlot& slot = slots_[gapStart_];
  const auto length = static_cast<int64_t>(record->m_Chars.size());
  slot.breaks = EndsWithBreak(record->m_Chars) ? 1 : 0;
  slot.total = HeadTotal() + length;
  slot.limit = std::min(HeadLimit(), OwnLimit(length, slot.breaks != 0));
  slot.changed = changed;
  slot.record = std::move(record);
  ++gapStart_;
  ++slotsMoved_;
}

void LineList::DropAfterGap(size_t count) {
  Revise();
  for (size_t i = gapEnd_; i < gapEnd_ + count; ++i) slots_[i] = LineSlot{};
  gapEnd_ += count;
  slotsMoved_ += static_cast<int64_t>(count);
}

void LineList::Append(std::unique_ptr<LineRecord> record) {
  MoveGapTo(static_cast<size_t>(Count()));
  PushAtGap(std::move(record), 1);
  NoteChanged(Count(), Count());
}

void LineList::InsertBefore(int32_t n, std::unique_ptr<LineRecord> record) {
  n = std::clamp(n, 1, Count() + 1);
  MoveGapTo(static_cast<size_t>(n - 1));
  PushAtGap(std::move(record), 1);
  if (changedLow_ >= n) ++changedLow_;
  if (changedHigh_ >= n) ++changedHigh_;
  NoteChanged(n, n);
}

void LineList::Clear() {
  Revise();
  slots_.clear();
  gapStart_ = gapEnd_ = 0;
  changedLow_ = changedHigh_ = 0;
}

std::unique_ptr<LineRecord> LineList::TakeLast() {
  if (Empty()) return nullptr;
  Revise();
  MoveGapTo(static_cast<size_t>(Count()));
  std::unique_ptr<LineRecord> last = std::move(slots_[--gapStart_].record);
  slots_[gapStart_] = LineSlot{};
  if (changedHigh_ > Count()) changedHigh_ = Count();
  if (changedHigh_ < changedLow_) changedLow_ = changedHigh_ = 0;
  return last;
}

void LineList::Splice(int32_t first, int32_t count, LineList& other) {
  first = std::clamp(first, 1, Count() + 1);
  count = std::clamp(count, 0, Count() + 1 - first);
  const int32_t shift = other.Count() - count;

  // The changed lines: those before the region stay, those after it move with it, and the
  // new lines bring their own.
  int32_t low = 0, high = 0;
  auto cover = [&](int32_t from, int32_t to) {
    if (from > to) return;
    low = low ? std::min(low, from) : from;
    high = std::max(high, to);
  };
  if (changedLow_) {
    cover(changedLow_, std::min(changedHigh_, first - 1));
    cover(std::max(changedLow_, first + count) + shift, changedHigh_ + shift);
  }
  if (other.changedLow_) cover(first + other.changedLow_ - 1, first + other.changedHigh_ - 1);

  MoveGapTo(static_cast<size_t>(first - 1));
  DropAfterGap(static_cast<size_t>(count));
  other.MoveGapTo(static_cast<size_t>(other.Count()));
  for (size_t i = 0; i < other.gapStart_; ++i)
    PushAtGap(std::move(other.slots_[i].record), other.slots_[i].changed);
  changedLow_ = low;
  changedHigh_ = high;
  other.Clear();
}

LineList::Detached LineList::TakeAll() {
  Detached all;
  const auto count = static_cast<size_t>(Count());
  all.records.reserve(count);
  all.changed.reserve(count);
  for (size_t k = 0; k < count; ++k) {
    all.records.push_back(std::move(Slot(k).record));
    all.changed.push_back(Slot(k).changed);
  }
  Clear();
  return all;
}

void LineList::MarkAllUnchanged() {
  for (int32_t n = std::max(changedLow_, 1); n <= std::min(changedHigh_, Count()); ++n)
    Slot(static_cast<size_t>(n - 1)).changed = 0;
  changedLow_ = changedHigh_ = 0;
}

void LineList::NoteChanged(int32_t low, int32_t high) {
  changedLow_ = changedLow_ ? std::min(changedLow_, low) : low;
  changedHigh_ = std::max(changedHigh_, high);
}

void LineList::SetChars(int32_t n, const CString& chars) {
  LineRecord* record = At(n);
  if (!record || record->m_Chars == chars) return;
  const bool breaks = EndsWithBreak(chars);
  const bool sameTotals = record->m_Chars.size() == chars.size() && breaks == EndsWithBreak(record->m_Chars);
  record->m_Chars = chars;
  Revise();
  Slot(static_cast<size_t>(n - 1)).changed = 1;
  NoteChanged(n, n);
  if (sameTotals) return;
  // At the gap's edge, the line's totals change and no other line's do.
  MoveGapTo(static_cast<size_t>(n));
  LineSlot& slot = slots_[gapStart_ - 1];
  const auto length = static_cast<int64_t>(chars.size());
  slot.breaks = breaks ? 1 : 0;
  slot.total = (gapStart_ >= 2 ? slots_[gapStart_ - 2].total : 0) + length;
  slot.limit = std::min(gapStart_ >= 2 ? slots_[gapStart_ - 2].limit : kNoLimit, OwnLimit(length, breaks));
}

int64_t LineList::PrefixLength(int32_t n) const {
  n = std::min(n, Count());
  if (n <= 0) return 0;
  const auto k = static_cast<size_t>(n);
  if (k <= gapStart_) return slots_[k - 1].total;
  // Past the gap: the whole length less that of the lines after line n.
  const int64_t after = n < Count() ? Slot(k).total : 0;
  return HeadTotal() + TailTotal() - after;
}

int64_t LineList::PrefixCaretLimit(int32_t n) const {
  n = std::min(n, Count());
  if (n <= 0) return kNoLimit;
  MoveGapTo(static_cast<size_t>(n));
  return slots_[gapStart_ - 1].limit;
}

int32_t LineList::FirstLineEndingAfter(int64_t offset) const {
  const auto head = std::upper_bound(slots_.begin(), slots_.begin() + static_cast<ptrdiff_t>(gapStart_), offset,
                                     [](int64_t o, const LineSlot& s) { return o < s.total; });
  if (head != slots_.begin() + static_cast<ptrdiff_t>(gapStart_))
    return static_cast<int32_t>(head - slots_.begin()) + 1;
  // After the gap, line j ends past offset when the lines after it hold less than the whole
  // length less offset; those lengths fall along the tail.
  const int64_t wanted = HeadTotal() + TailTotal() - offset;
  size_t lo = gapEnd_, hi = slots_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const int64_t after = mid + 1 < slots_.size() ? slots_[mid + 1].total : 0;
    if (after < wanted)
      hi = mid;
    else
      lo = mid + 1;
  }
  return static_cast<int32_t>(gapStart_ + (lo - gapEnd_)) + 1;
}

CString LineList::TextBetween(int64_t start, int64_t end) const {
  CString text;
  if (start >= end) return text;
  for (int32_t n = FirstLineEndingAfter(start); n <= Count(); ++n) {
    const CString& chars = At(n)->m_Chars;
    const int64_t lineStart = LengthBefore(n);
    if (lineStart >= end) break;
    const auto from = static_cast<size_t>(std::max<int64_t>(start - lineStart, 0));
    const auto to = static_cast<size_t>(std::min<int64_t>(end - lineStart, static_cast<int64_t>(chars.size())));
    text.append(chars, from, to - from);
  }
  return text;
}

}  // namespace kestrix
