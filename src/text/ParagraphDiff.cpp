#include "text/ParagraphDiff.h"

#include <algorithm>

#include "framework/text/CommonEnds.h"

namespace kestrix {

namespace {
constexpr char kCR = '\r';
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

}  // namespace kestrix
