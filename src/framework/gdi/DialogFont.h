// The font the framework draws its own windows with (dialogs, their captions and buttons): a
// face found by fontconfig at a point size, measured and drawn with FreeType. Text is 8-bit,
// each byte a Latin-1 character.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../WinTypes.h"
#include "DeviceContext.h"

namespace kestrix {

// A dialog's base units: the average width of its font's letters and the font's height, in
// pixels. A dialog unit is a quarter of the first across and an eighth of the second down.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

class DialogFont {
 public:
  // The font for a face and point size (96 pixels to the inch), shared by every user. Faces
  // known by other names on other platforms ("MS Sans Serif", "MS Shell Dlg") map to
  // fontconfig's "sans"; a face that is not installed falls back to what fontconfig offers.
  static std::shared_ptr<const DialogFont> Get(const std::string& face, int pointSize);
  ~DialogFont();
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;

  // The font file in use, or empty when no font could be loaded (then nothing is drawn and
  // the metrics are those of an 8-point sans face).
  const std::string& FilePath() const { return path_; }
  int PixelSize() const { return pixelSize_; }
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int Height() const { return ascent_ + descent_; }
  int TextWidth(std::string_view text) const;
  // The average width over "A" to "Z" and "a" to "z", rounded, and the height.
  DialogBaseUnits BaseUnits() const;

  // Draws text in the context's text colour with the top of its line at y (the baseline
  // lies Ascent() below). Returns the x after the text.
  int Draw(DeviceContext& dc, int x, int y, std::string_view text) const;

 private:
  struct Glyph {
    int advance = 0;
    int left = 0;  // from the pen to the bitmap's first column
    int top = 0;   // from the baseline up to the bitmap's first row
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
  };
  struct Face;

  DialogFont(const std::string& face, int pointSize);
  const Glyph& GlyphOf(unsigned char ch) const;

  std::unique_ptr<Face> face_;
  std::string path_;
  int pixelSize_ = 0;
  int ascent_ = 0;
  int descent_ = 0;
  mutable std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

// Lays text out in lines no wider than width, breaking after blanks; a word longer than the
// width stands alone on its line, cut by the rectangle it is drawn in.
std::vector<std::string> WrapText(const DialogFont& font, std::string_view text, int width);

}  // namespace kestrix
