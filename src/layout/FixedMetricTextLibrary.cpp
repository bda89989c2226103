#include "layout/FixedMetricTextLibrary.h"

#include <cstring>

#include "layout/CharClass.h"

namespace {
constexpr unsigned char kTatweel = 0xDC;

bool IsZeroWidth(unsigned char c) { return c < 0x20 || ClassOfByte(c) == CharClass::ArabicMark; }
}  // namespace

int FixedMetricTextLibrary::CharWidth(const std::string& s, size_t i) {
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

int FixedMetricTextLibrary::Width(const std::string& s) {
  int w = 0;
  for (size_t i = 0; i < s.size(); ++i) w += CharWidth(s, i);
  return w;
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
  calls.push_back(call);
  if (hdc) hdc->selectedFontMetrics = metrics;
}

void FixedMetricTextLibrary::aReleaseDC(HDC hdc) { calls.push_back({"aReleaseDC", hdc, {}, {}}); }

SIZE FixedMetricTextLibrary::aTextExtent(HDC hdc, const char* chars, int32_t count) {
  std::string s = chars && count > 0 ? std::string(chars, static_cast<size_t>(count)) : std::string();
  calls.push_back({"aTextExtent", hdc, {count}, s});
  return SIZE{Width(s), 18};
}

void FixedMetricTextLibrary::aTextOut(HDC hdc, int32_t x, int32_t y, const char* chars, int32_t count) {
  std::string s = chars && count > 0 ? std::string(chars, static_cast<size_t>(count)) : std::string();
  calls.push_back({"aTextOut", hdc, {x, y, count}, s});
  if (!hdc) return;
  int left = x;
  for (size_t i = 0; i < s.size(); ++i) {
    int w = CharWidth(s, i);
    // A box one pixel inside each side, so neighbouring characters stay apart.
    if (w > 2) {
      RECT box{left + 1, y - kBoxHeight, left + w - 1, y};
      for (int py = box.top; py < box.bottom; ++py)
        for (int px = box.left; px < box.right; ++px) hdc->BlendText(px, py, 255);
    }
    left += w;
  }
}

void FixedMetricTextLibrary::aSetReadingOrder(int32_t order) {
  readingOrder = order;
  calls.push_back({"aSetReadingOrder", nullptr, {order}, {}});
}

void FixedMetricTextLibrary::aSetKeyboardLanguage(int32_t language) {
  calls.push_back({"aSetKeyboardLanguage", nullptr, {language}, {}});
}

std::vector<TextLibraryCall> FixedMetricTextLibrary::CallsOf(const std::string& function) const {
  std::vector<TextLibraryCall> out;
  for (const auto& c : calls)
    if (c.function == function) out.push_back(c);
  return out;
}
