// The Arabic text library on any bytes: what is drawn advances exactly as far as measuring
// says, whatever the fonts, the reading order, where the line starts and what the caches saw.
#include <cstring>
#include <memory>

#include "Harness.h"
#include "Input.h"
#include "arabtext/FontRequest.h"
#include "arabtext/FontStore.h"
#include "arabtext/LineMeasurer.h"
#include "arabtext/LineRenderer.h"
#include "arabtext/SegmentShaper.h"
#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace fuzzing {
namespace {

constexpr size_t kMaxTextBytes = 512;

LOGFONT FontFrom(Input& in) {
  const char* faces[] = {"Times New Roman",   "Fonta",
                         "DejaVu Sans",       "",
                         "No Such Face",      "Liberation Mono",
                         "Noto Naskh Arabic", "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"};
  // Pixel heights (negative) and cell heights (positive), tiny to large.
  const LONG heights[] = {-16, -1, -2, -7, -24, -48, -120, -400, 0, 1, 16, 33};
  LOGFONT font;
  std::strncpy(font.lfFaceName, in.Pick(faces), sizeof font.lfFaceName - 1);
  font.lfHeight = in.Pick(heights);
  uint8_t style = in.Byte();
  font.lfWeight = style & 1 ? 700 : (style & 2 ? 0 : 400);
  font.lfItalic = style & 4 ? 1 : 0;
  font.lfUnderline = style & 8 ? 1 : 0;
  font.lfStrikeOut = style & 16 ? 1 : 0;
  return font;
}

}  // namespace

std::string RunTextLibrary(const uint8_t* data, size_t size) {
  using namespace arabtext;
  Input in(data, size);
  const bool rtl = in.Byte() & 1;
  const LOGFONT latin = FontFrom(in), arabic = FontFrom(in);
  const int32_t x = static_cast<int16_t>(in.Word()) / 64;  // -512..511: partly or wholly clipped
  const size_t cut = in.Byte();
  const std::string text = in.Bytes(kMaxTextBytes);

  FontStore store;
  const auto fonts = store.Pair(FontRequestFromLogFont(&latin), FontRequestFromLogFont(&arabic));
  // Separate shapers: neither side can lean on the other's cached results.
  SegmentShaper measureShaper, drawShaper(2);
  LineMeasurer measurer(measureShaper);
  LineRenderer renderer(drawShaper);
  Surface surface(320, 80);
  DeviceContext dc(&surface, POINT{}, {RECT{0, 0, 320, 80}});

  // Measured as the control measures a line typed character by character, then drawn.
  int32_t grown = 0;
  for (size_t n = 1; n <= text.size(); ++n) {
    grown = measurer.Width(*fonts, std::string_view(text).substr(0, n));
    if (n == cut) {
      LineMeasurer fresh(measureShaper);
      int32_t alone = fresh.Width(*fonts, std::string_view(text).substr(0, n));
      if (alone != grown)
        return "prefix of " + std::to_string(n) + " bytes: " + std::to_string(grown) +
               " after the shorter ones, " + std::to_string(alone) + " alone";
    }
  }
  int32_t drawn = renderer.Draw(dc, x, 40, *fonts, text, rtl);
  if (drawn != grown)
    return "drew " + std::to_string(drawn) + " px, measured " + std::to_string(grown) + " (" +
           std::to_string(text.size()) + " bytes, " + (rtl ? "rtl" : "ltr") + ")";
  return "";
}

}  // namespace fuzzing

}  // namespace kestrix
