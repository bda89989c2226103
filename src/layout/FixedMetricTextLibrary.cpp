#include "layout/FixedMetricTextLibrary.h"

#include <algorithm>
#include <cstring>

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
  int left = x;
  for (size_t i = 0; i < s.size(); ++i) {
    int w = CharWidth(s, i);
    // A box one pixel inside each side, so neighbouring characters stay apart.
    if (w > 2 && left + w - 1 > clipLeft && left + 1 < clipRight) {
      RECT box{left + 1, y - kBoxHeight, left + w - 1, y};
      for (int py = box.top; py < box.bottom; ++py)
        for (int px = box.left; px < box.right; ++px) hdc->BlendText(px, py, 255);
    }
    left += w;
  }
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
