// The two fonts selected together for text: Latin and Arabic, with their styles, the byte
// classes adapted to what each font covers, and the common line metrics.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "arabtext/ByteClass.h"
#include "arabtext/LoadedFont.h"
#include "framework/WinTypes.h"

namespace kestrix::arabtext {

struct SlotStyle {
  bool underline = false;
  bool strikeOut = false;
};

class FontPair {
 public:
  FontPair(std::shared_ptr<LoadedFont> latin, std::shared_ptr<LoadedFont> arabic, SlotStyle latinStyle,
           SlotStyle arabicStyle);

  uint32_t Serial() const { return serial_; }
  const LoadedFont& Font(FontSlot slot) const { return *fonts_[static_cast<size_t>(slot)]; }
  const SlotStyle& Style(FontSlot slot) const { return styles_[static_cast<size_t>(slot)]; }
  const ByteClassTable& Classes() const { return classes_; }

  // The line both scripts fit in: the taller ascent and the deeper descent.
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int LineHeight() const { return ascent_ + descent_; }
  // What GetTextMetrics answers: the line metrics scaled by 1.333, rounded up far enough
  // that scaling back by 0.7501875468867217 and truncating gives at least the line metrics.
  const TEXTMETRIC& TextMetrics() const { return textMetrics_; }

 private:
  uint32_t serial_;
  std::array<std::shared_ptr<LoadedFont>, 2> fonts_;
  std::array<SlotStyle, 2> styles_;
  ByteClassTable classes_;
  int ascent_ = 0;
  int descent_ = 0;
  TEXTMETRIC textMetrics_;
};

// The smallest value v with trunc(v * 0.7501875468867217) >= pixels.
LONG ScaleToReportedMetric(int pixels);

}  // namespace kestrix::arabtext
