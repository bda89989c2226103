#include "text/LineList.h"

#include <algorithm>
#include <limits>

namespace kestrix {

LineRecord* LineList::At(int64_t n) const {
  if (n < 1 || n > Count()) return nullptr;
  return lines_[static_cast<size_t>(n - 1)].get();
}

void LineList::Append(std::unique_ptr<LineRecord> record) {
  lines_.push_back(std::move(record));
  changed_.push_back(1);
}

void LineList::InsertBefore(int32_t n, std::unique_ptr<LineRecord> record) {
  n = std::clamp(n, 1, Count() + 1);
  lines_.insert(lines_.begin() + (n - 1), std::move(record));
  changed_.insert(changed_.begin() + (n - 1), 1);
  Invalidate(n);
}

void LineList::Clear() {
  lines_.clear();
  changed_.clear();
  prefixLength_.clear();
  prefixLimit_.clear();
}

std::unique_ptr<LineRecord> LineList::TakeLast() {
  if (lines_.empty()) return nullptr;
  Invalidate(Count());
  std::unique_ptr<LineRecord> last = std::move(lines_.back());
  lines_.pop_back();
  changed_.pop_back();
  return last;
}

LineList::Detached LineList::TakeAll() {
  Detached all{std::move(lines_), std::move(changed_)};
  Clear();
  return all;
}

void LineList::MarkAllUnchanged() { std::fill(changed_.begin(), changed_.end(), uint8_t{0}); }

void LineList::SetChars(int32_t n, const CString& chars) {
  LineRecord* record = At(n);
  if (!record) return;
  if (record->m_Chars.size() != chars.size() ||
      (!chars.empty() && record->m_Chars.back() != chars.back()))
    Invalidate(n);
  if (record->m_Chars != chars) changed_[static_cast<size_t>(n - 1)] = 1;
  record->m_Chars = chars;
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
    const CString& chars = lines_[i]->m_Chars;
    auto length = static_cast<int64_t>(chars.size());
    int64_t limit = (!chars.empty() && chars.find('\r') != CString::npos) ? length - 1 : length;
    prefixLength_.push_back((i ? prefixLength_[i - 1] : 0) + length);
    prefixLimit_.push_back(i ? std::min(prefixLimit_[i - 1], limit) : limit);
  }
}

int64_t LineList::PrefixLength(int32_t n) const {
  if (n <= 0) return 0;
  n = std::min(n, Count());
  Extend(n);
  return n ? prefixLength_[static_cast<size_t>(n - 1)] : 0;
}

int64_t LineList::PrefixCaretLimit(int32_t n) const {
  if (n <= 0) return std::numeric_limits<int64_t>::max();
  n = std::min(n, Count());
  Extend(n);
  return n ? prefixLimit_[static_cast<size_t>(n - 1)] : std::numeric_limits<int64_t>::max();
}

int32_t LineList::FirstLineEndingAfter(int64_t offset) const {
  Extend(Count());
  auto it = std::upper_bound(prefixLength_.begin(), prefixLength_.end(), offset);
  return static_cast<int32_t>(it - prefixLength_.begin()) + 1;
}

}  // namespace kestrix
