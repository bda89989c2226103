#include "text/LineList.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();

bool EndsWithBreak(const CString& chars) { return !chars.empty() && chars.back() == '\r'; }

// Puts with in place of v[at, at + count), moving the elements after them once.
template <typename T>
void ReplaceRange(std::vector<T>& v, size_t at, size_t count, std::vector<T>&& with) {
  const size_t common = std::min(count, with.size());
  std::move(with.begin(), with.begin() + static_cast<ptrdiff_t>(common), v.begin() + static_cast<ptrdiff_t>(at));
  const auto rest = v.begin() + static_cast<ptrdiff_t>(at + common);
  if (count > with.size())
    v.erase(rest, rest + static_cast<ptrdiff_t>(count - common));
  else
    v.insert(rest, std::make_move_iterator(with.begin() + static_cast<ptrdiff_t>(common)),
             std::make_move_iterator(with.end()));
}

}  // namespace

LineRecord* LineList::At(int64_t n) const {
  if (n < 1 || n > Count()) return nullptr;
  return lines_[static_cast<size_t>(n - 1)].get();
}

void LineList::Append(std::unique_ptr<LineRecord> record) {
  breaks_.push_back(EndsWithBreak(record->m_Chars) ? 1 : 0);
  lines_.push_back(std::move(record));
  changed_.push_back(1);
  NoteChanged(Count(), Count());
}

void LineList::InsertBefore(int32_t n, std::unique_ptr<LineRecord> record) {
  LineList one;
  one.Append(std::move(record));
  Splice(std::clamp(n, 1, Count() + 1), 0, one);
}

void LineList::Clear() {
  lines_.clear();
  changed_.clear();
  breaks_.clear();
  changedLow_ = changedHigh_ = 0;
  prefixLength_.clear();
  prefixLimit_.clear();
}

std::unique_ptr<LineRecord> LineList::TakeLast() {
  if (lines_.empty()) return nullptr;
  Invalidate(Count());
  std::unique_ptr<LineRecord> last = std::move(lines_.back());
  lines_.pop_back();
  changed_.pop_back();
  breaks_.pop_back();
  if (changedHigh_ > Count()) changedHigh_ = Count();
  if (changedHigh_ < changedLow_) changedLow_ = changedHigh_ = 0;
  return last;
}

void LineList::Splice(int32_t first, int32_t count, LineList& other) {
  first = std::clamp(first, 1, Count() + 1);
  count = std::clamp(count, 0, Count() + 1 - first);
  const auto at = static_cast<size_t>(first - 1);
  const auto removed = static_cast<size_t>(count);
  const size_t added = other.lines_.size();
  const int32_t shift = static_cast<int32_t>(added) - count;

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

  // The totals survive when they reach past the region: the new lines' lengths go in, and the
  // lines after them move by the difference.
  const size_t valid = prefixLength_.size();
  if (valid >= at + removed) {
    const int64_t base = at ? prefixLength_[at - 1] : 0;
    const int64_t oldEnd = at + removed ? prefixLength_[at + removed - 1] : 0;
    std::vector<int64_t> lengths(added);
    int64_t total = base;
    for (size_t i = 0; i < added; ++i) lengths[i] = total += static_cast<int64_t>(other.lines_[i]->m_Chars.size());
    const int64_t delta = total - oldEnd;
    ReplaceRange(prefixLength_, at, removed, std::move(lengths));
    for (size_t i = at + added; i < prefixLength_.size(); ++i) prefixLength_[i] += delta;
    ReplaceRange(prefixLimit_, at, removed, std::vector<int64_t>(added, kNoLimit));
  } else {
    Invalidate(first);
  }
  ReplaceRange(lines_, at, removed, std::move(other.lines_));
  ReplaceRange(changed_, at, removed, std::move(other.changed_));
  ReplaceRange(breaks_, at, removed, std::move(other.breaks_));
  if (prefixLimit_.size() > at) RelimitFrom(at, at + added);
  changedLow_ = low;
  changedHigh_ = high;
  other.Clear();
}

LineList::Detached LineList::TakeAll() {
  Detached all{std::move(lines_), std::move(changed_)};
  Clear();
  return all;
}

void LineList::MarkAllUnchanged() {
  if (changedLow_ > 0)
    std::fill(changed_.begin() + (changedLow_ - 1), changed_.begin() + std::min(changedHigh_, Count()), uint8_t{0});
  changedLow_ = changedHigh_ = 0;
}

void LineList::NoteChanged(int32_t low, int32_t high) {
  changedLow_ = changedLow_ ? std::min(changedLow_, low) : low;
  changedHigh_ = std::max(changedHigh_, high);
}

void LineList::SetChars(int32_t n, const CString& chars) {
  LineRecord* record = At(n);
  if (!record) return;
  const auto i = static_cast<size_t>(n - 1);
  const bool breaks = EndsWithBreak(chars);
  const auto delta = static_cast<int64_t>(chars.size()) - static_cast<int64_t>(record->m_Chars.size());
  if (record->m_Chars != chars) {
    changed_[i] = 1;
    NoteChanged(n, n);
  }
  record->m_Chars = chars;
  if (delta == 0 && breaks == (breaks_[i] != 0)) return;
  breaks_[i] = breaks ? 1 : 0;
  if (prefixLength_.size() <= i) return;
  for (size_t k = i; k < prefixLength_.size(); ++k) prefixLength_[k] += delta;
  RelimitFrom(i, i + 1);
}

void LineList::RelimitFrom(size_t from, size_t settledFrom) {
  for (size_t i = from; i < prefixLimit_.size(); ++i) {
    const int64_t length = prefixLength_[i] - (i ? prefixLength_[i - 1] : 0);
    const int64_t limit = std::min(i ? prefixLimit_[i - 1] : kNoLimit, OwnLimit(i, length));
    // Past the lines that changed, a running limit equal to the old one leaves the rest equal.
    if (i >= settledFrom && limit == prefixLimit_[i]) return;
    prefixLimit_[i] = limit;
  }
}

void LineList::Invalidate(int32_t fromLine) {
  auto keep = static_cast<size_t>(std::max(0, fromLine - 1));
  if (prefixLength_.size() > keep) {
    prefixLength_.resize(keep);
    prefixLimit_.resize(keep);
  }
}

void LineList::Extend(int32_t n) const {
  n = std::min(n, Count());
  while (static_cast<int32_t>(prefixLength_.size()) < n) {
    size_t i = prefixLength_.size();
    auto length = static_cast<int64_t>(lines_[i]->m_Chars.size());
    prefixLength_.push_back((i ? prefixLength_[i - 1] : 0) + length);
    prefixLimit_.push_back(std::min(i ? prefixLimit_[i - 1] : kNoLimit, OwnLimit(i, length)));
  }
}

int64_t LineList::PrefixLength(int32_t n) const {
  if (n <= 0) return 0;
  n = std::min(n, Count());
  Extend(n);
  return n ? prefixLength_[static_cast<size_t>(n - 1)] : 0;
}

int64_t LineList::PrefixCaretLimit(int32_t n) const {
  if (n <= 0) return kNoLimit;
  n = std::min(n, Count());
  Extend(n);
  return n ? prefixLimit_[static_cast<size_t>(n - 1)] : kNoLimit;
}

int32_t LineList::FirstLineEndingAfter(int64_t offset) const {
  Extend(Count());
  auto it = std::upper_bound(prefixLength_.begin(), prefixLength_.end(), offset);
  return static_cast<int32_t>(it - prefixLength_.begin()) + 1;
}

CString LineList::TextBetween(int64_t start, int64_t end) const {
  CString text;
  if (start >= end) return text;
  for (int32_t n = FirstLineEndingAfter(start); n <= Count(); ++n) {
    const CString& chars = lines_[static_cast<size_t>(n - 1)]->m_Chars;
    const int64_t lineStart = prefixLength_[static_cast<size_t>(n - 1)] - static_cast<int64_t>(chars.size());
    if (lineStart >= end) break;
    const auto from = static_cast<size_t>(std::max<int64_t>(start - lineStart, 0));
    const auto to = static_cast<size_t>(std::min<int64_t>(end - lineStart, static_cast<int64_t>(chars.size())));
    text.append(chars, from, to - from);
  }
  return text;
}
