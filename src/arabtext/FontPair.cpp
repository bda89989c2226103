#include "arabtext/FontPair.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

#include "arabtext/Cp1256.h"

namespace kestrix::arabtext {
namespace {

std::atomic<uint32_t> nextPairSerial{1};

constexpr double kReportScale = 1.333;
constexpr double kControlScale = 0.7501875468867217;

}  // namespace

LONG ScaleToReportedMetric(int pixels) {
  if (pixels <= 0) return 0;
  auto value = static_cast<LONG>(std::ceil(pixels * kReportScale));
  while (static_cast<int64_t>(value * kControlScale) < pixels) ++value;
  return value;
}

FontPair::FontPair(std::shared_ptr<LoadedFont> latin, std::shared_ptr<LoadedFont> arabic,
                   SlotStyle latinStyle, SlotStyle arabicStyle)
    : serial_(nextPairSerial.fetch_add(1)),
      fonts_{std::move(latin), std::move(arabic)},
      styles_{latinStyle, arabicStyle},
      classes_(BaseByteClasses()) {
  const LoadedFont& latinFont = *fonts_[0];
  const LoadedFont& arabicFont = *fonts_[1];
  for (int b = 0; b < 256; ++b) {
    const ByteKind kind = classes_.kind[b];
    if (kind != ByteKind::kLatinWord && kind != ByteKind::kDigit && kind != ByteKind::kNeutral) continue;
    const char32_t c = UnicodeFromCp1256(static_cast<uint8_t>(b));
    const bool arabicHas = arabicFont.HasGlyph(c);
    classes_.arabicCovers[b] = arabicHas;
    classes_.ownSlot[b] = !latinFont.HasGlyph(c) && arabicHas ? FontSlot::kArabic : FontSlot::kLatin;
  }

  const FontMetrics& lm = latinFont.Metrics();
  const FontMetrics& am = arabicFont.Metrics();
  ascent_ = std::max(lm.ascent, am.ascent);
  descent_ = std::max(lm.descent, am.descent);
  textMetrics_.tmAscent = ScaleToReportedMetric(ascent_);
  textMetrics_.tmDescent = ScaleToReportedMetric(descent_);
  textMetrics_.tmHeight = textMetrics_.tmAscent + textMetrics_.tmDescent;
  textMetrics_.tmAveCharWidth = ScaleToReportedMetric(lm.averageWidth);
  textMetrics_.tmMaxCharWidth = ScaleToReportedMetric(std::max(lm.maxAdvance, am.maxAdvance));
}

}  // namespace kestrix::arabtext
