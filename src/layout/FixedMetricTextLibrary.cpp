#include "layout/FixedMetricTextLibrary.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "arabtext/BidiLevels.h"
#include "layout/CharClass.h"

namespace kestrix {

namespace {
constexpr unsigned char kTatweel = 0xDC;

bool IsZeroWidth(unsigned char c) { return c < 0x20 || ClassOfByte(c) == CharClass::ArabicMark; }
}  // namespace

int FixedMetricTextLibrary::CharWidth(std::string_view s, size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  if (IsZeroWidth(c)) return 0;
  if (c == kTatweel) return kTatweelWidth;
  if (ClassOfByte(c) == CharClass::ArabicLetter) {
    for (size_t j = i + 1; j < s.size(); ++j) {
      CharClass next = ClassOfByte(static_cast<unsigned char>(s[j]));
      if (next == CharClass::ArabicMark) continue;
      if (next == CharClass::ArabicLetter) return kJoinedWidth;
      break;
    }
  }
  return kCharWidth;
}

bool FixedMetricTextLibrary::Layout(std::string_view s, bool rightToLeft, std::vector<DrawnChar>& out) {
  const size_t n = s.size();
  out.assign(n, DrawnChar{});
  if (n == 0) return rightToLeft;
  const arabtext::BidiByte* table = arabtext::BidiBytes();
  std::vector<const arabtext::BidiByte*> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = &table[static_cast<unsigned char>(s[i])];
  std::vector<int8_t> levels(n, 0);
  arabtext::BidiLevels resolver;
  const bool resolved = resolver.Resolve(bytes.data(), n, rightToLeft, levels.data());
  const int8_t base = rightToLeft ? 1 : 0;
  if (!resolved) std::fill(levels.begin(), levels.end(), base);
  // White space and controls at the end stand at the paragraph's end.
  for (size_t i = n; i > 0; --i) {
    const auto c = static_cast<unsigned char>(s[i - 1]);
    const arabtext::BidiClass cls = bytes[i - 1]->bidiClass;
    if (c >= 0x20 && cls != arabtext::BidiClass::WS && cls != arabtext::BidiClass::S && cls != arabtext::BidiClass::B)
      break;
    levels[i - 1] = base;
  }
  // Every run at or above each level is reversed, from the highest level down to the lowest
  // odd one.
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  const int8_t highest = *std::max_element(levels.begin(), levels.end());
  int8_t lowestOdd = INT8_MAX;
  for (int8_t l : levels)
    if (l % 2 == 1) lowestOdd = std::min(lowestOdd, l);
  for (int level = highest; level >= lowestOdd && level > 0; --level)
    for (size_t i = 0; i < n;) {
      if (levels[order[i]] < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < n && levels[order[j]] >= level) ++j;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i), order.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  int left = 0;
  for (size_t at : order) {
    const int w = CharWidth(s, at);
    out[at] = DrawnChar{left, left + w, levels[at] % 2 == 1};
    left += w;
  }
  return rightToLeft;
}

int FixedMetricTextLibrary::Width(std::string_view s) {
  // One character is measured apart, so that a tatweel measured between the starts of a long
  // line leaves what was measured of the line alone.
  if (s.size() == 1) return CharWidth(s, 0);
  if (!s.empty() && s.size() <= measured_.size() && std::memcmp(s.data(), measured_.data(), s.size()) == 0) {
    // A start of the last string, as finding an index from an x measures: only its last
    // character past any marks may be narrower than there, having nothing to join.
    size_t last = s.size() - 1;
    while (last > 0 && ClassOfByte(static_cast<unsigned char>(s[last])) == CharClass::ArabicMark) --last;
    return measuredUpTo_[last] + CharWidth(s, last);
  }
  size_t shared = 0;
  const size_t most = std::min(s.size(), measured_.size());
  // The last string grown at its end is the usual case, and memcmp checks it fastest.
  if (std::memcmp(s.data(), measured_.data(), most) == 0)
    shared = most;
  else
    while (shared < most && s[shared] == measured_[shared]) ++shared;
  // A letter's width depends on the next letter past any marks: the letter before the marks
  // that end the shared part is measured again.
  while (shared > 0 && ClassOfByte(static_cast<unsigned char>(s[shared - 1])) == CharClass::ArabicMark)
    --shared;
  if (shared > 0) --shared;
  measuredUpTo_.resize(shared + 1);
  measuredUpTo_[0] = 0;
  measuredUpTo_.reserve(s.size() + 1);
  for (size_t i = shared; i < s.size(); ++i) measuredUpTo_.push_back(measuredUpTo_[i] + CharWidth(s, i));
  measured_.resize(shared);
  measured_.append(s.substr(shared));
  return measuredUpTo_[s.size()];
}

void FixedMetricTextLibrary::Record(TextLibraryCall call) {
  if (recordCalls) calls.push_back(std::move(call));
}

void FixedMetricTextLibrary::aSelectDC(HDC hdc, const LOGFONT* latin, const LOGFONT* arabic) {
  TextLibraryCall call{"aSelectDC", hdc, {}, {}};
  if (latin) {
    lastLatin = *latin;
    call.numbers.push_back(latin->lfHeight);
    call.text += std::string(latin->lfFaceName, strnlen(latin->lfFaceName, LF_FACESIZE));
  }
  call.text += '|';
  if (arabic) {
    lastArabic = *arabic;
    call.numbers.push_back(arabic->lfHeight);
    call.text += std::string(arabic->lfFaceName, strnlen(arabic->lfFaceName, LF_FACESIZE));
  }
  Record(call);
  if (hdc) hdc->selectedFontMetrics = metrics;
}

void FixedMetricTextLibrary::aReleaseDC(HDC hdc) { Record({"aReleaseDC", hdc, {}, {}}); }

SIZE FixedMetricTextLibrary::aTextExtent(HDC hdc, const char* chars, int32_t count) {
  const std::string_view s = chars && count > 0 ? std::string_view(chars, static_cast<size_t>(count)) : std::string_view();
  if (recordCalls) Record({"aTextExtent", hdc, {count}, std::string(s)});
  return SIZE{Width(s), 18};
}

void FixedMetricTextLibrary::aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) {
  std::string s = chars && count > 0 ? std::string(chars, static_cast<size_t>(count)) : std::string();
  Record({"aTextOut", hdc, {x, y, count}, s});
  if (!hdc) return;
  // Only boxes that meet a clip rectangle are drawn: a long line is mostly outside them.
  int64_t clipLeft = INT64_MAX, clipRight = INT64_MIN;
  for (const RECT& r : hdc->ClipRects()) {
    clipLeft = std::min<int64_t>(clipLeft, r.left);
    clipRight = std::max<int64_t>(clipRight, r.right);
  }
  Layout(s, RightToLeftDefault(), drawn_);
  for (const DrawnChar& d : drawn_) {
    const int left = x + d.left, w = d.right - d.left;
    // A box one pixel inside each side, so neighbouring characters stay apart.
    if (w > 2 && left + w - 1 > clipLeft && left + 1 < clipRight) {
      RECT box{left + 1, y - kBoxHeight, left + w - 1, y};
      for (int py = box.top; py < box.bottom; ++py)
        for (int px = box.left; px < box.right; ++px) hdc->BlendText(px, py, 255);
    }
  }
}

bool FixedMetricTextLibrary::aDrawnChars(HDC hdc, const char* chars, int32_t count, DrawnChar* out) {
  const std::string_view s = chars && count > 0 ? std::string_view(chars, static_cast<size_t>(count)) : std::string_view();
  if (recordCalls) Record({"aDrawnChars", hdc, {count}, std::string(s)});
  const bool rightToLeft = Layout(s, RightToLeftDefault(), drawn_);
  std::copy(drawn_.begin(), drawn_.end(), out);
  return rightToLeft;
}

void FixedMetricTextLibrary::aSetReadingOrder(int32_t order) {
  readingOrder = order;
  Record({"aSetReadingOrder", nullptr, {order}, {}});
}

void FixedMetricTextLibrary::aSetKeyboardLanguage(int32_t language) {
  Record({"aSetKeyboardLanguage", nullptr, {language}, {}});
}

std::vector<TextLibraryCall> FixedMetricTextLibrary::CallsOf(const std::string& function) const {
  std::vector<TextLibraryCall> out;
  for (const auto& c : calls)
    if (c.function == function) out.push_back(c);
  return out;
}

}  // namespace kestrix
