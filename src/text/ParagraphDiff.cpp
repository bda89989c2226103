#include "text/ParagraphDiff.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kCR = '\r';

size_t CommonPrefix(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  // Compared in blocks first: the texts are large and usually differ in one place.
  constexpr size_t kBlock = 4096;
  size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0) i += kBlock;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

size_t CommonSuffix(std::string_view a, std::string_view b, size_t limit) {
  constexpr size_t kBlock = 4096;
  size_t i = 0;
  while (i + kBlock <= limit &&
         std::memcmp(a.data() + a.size() - i - kBlock, b.data() + b.size() - i - kBlock, kBlock) == 0)
    i += kBlock;
  while (i < limit && a[a.size() - 1 - i] == b[b.size() - 1 - i]) ++i;
  return i;
}
}  // namespace

ParagraphDiff DiffParagraphs(std::string_view oldText, std::string_view newText) {
  ParagraphDiff diff;
  if (oldText == newText) {
    diff.leading = static_cast<size_t>(std::count(newText.begin(), newText.end(), kCR)) + 1;
    diff.middleBegin = diff.middleEnd = newText.size();
    return diff;
  }
  const size_t prefix = CommonPrefix(oldText, newText);
  const size_t suffix = CommonSuffix(oldText, newText, std::min(oldText.size(), newText.size()) - prefix);

  // A paragraph lies wholly in the common prefix when its CR does.
  const std::string_view head = newText.substr(0, prefix);
  diff.leading = static_cast<size_t>(std::count(head.begin(), head.end(), kCR));
  const size_t lastHeadBreak = head.rfind(kCR);
  diff.middleBegin = lastHeadBreak == std::string_view::npos ? 0 : lastHeadBreak + 1;

  // A paragraph lies wholly in the common suffix when the CR before it does.
  const std::string_view tail = newText.substr(newText.size() - suffix);
  diff.trailing = static_cast<size_t>(std::count(tail.begin(), tail.end(), kCR));
  const size_t firstTailBreak = tail.find(kCR);
  diff.middleEnd = firstTailBreak == std::string_view::npos ? newText.size()
                                                            : newText.size() - suffix + firstTailBreak + 1;
  return diff;
}
