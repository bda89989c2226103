// The toolbox bitmap and the icon: an edit box holding a left-to-right line (blue) and a
// right-to-left line (green), with the caret.
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

constexpr uint32_t kFrame = OpaquePixel(0x404040);
constexpr uint32_t kPaper = OpaquePixel(0xFFFFFF);
constexpr uint32_t kLatinInk = OpaquePixel(0x1F4E9A);
constexpr uint32_t kArabicInk = OpaquePixel(0x1E7B34);
constexpr uint32_t kCaret = OpaquePixel(0x000000);

}  // namespace

// The toolbox shows bitmaps on its own light grey, which is the bitmap's background.
ImageResource KestrixToolboxBitmap() {
  return ImageFromRows(
      {
          "................",
          ".##############.",
          ".#wwwwwwwwwwww#.",
          ".#wbbbwbbbbwww#.",
          ".#wwwwwwwwwwww#.",
          ".#wwwwgggwgggw#.",
          ".#wwwwwwwwwwww#.",
          ".#wbbbbwbbwkww#.",
          ".#wwwwwwwwwkww#.",
          ".#wwwwwwwwwkww#.",
          ".#wwwwwwwwwwww#.",
          ".#wwwwwgggggww#.",
          ".#wwwwwwwwwwww#.",
          ".##############.",
          "................",
      },
      {{'.', OpaquePixel(0xC0C0C0)},
       {'#', kFrame},
       {'w', kPaper},
       {'b', kLatinInk},
       {'g', kArabicInk},
       {'k', kCaret}});
}

// The caret carries the flag it shows in right-to-left reading order.
ImageResource KestrixIcon() {
  return ImageFromRows(
      {
          "tttttttttttttttttttttttttttttttt",
          "tttttttttttttttttttttttttttttttt",
          "tt##########################tttt",
          "tt#hhhhhhhhhhhhhhhhhhhhhhhh#tttt",
          "tt#hhhhhhhhhhhhhhhhhhhhhhhh#sstt",
          "tt#hhhhhhhhhhhhhhhhhhhhhhhh#sstt",
          "tt#hhhhhhhhhhhhhhhhhhhhhhhh#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwbbbbwbbbbbwbbbbwwwwwww#sstt",
          "tt#wwbbbbwbbbbbwbbbbwwwwwww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwwwwwwggwggggggwgggggww#sstt",
          "tt#wwwwwwwggwggggggwgggggww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwbbbbwbbbbbwwwwwwwwwwww#sstt",
          "tt#wwbbbbwbbbbbwwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwwwwggggwggggggwgggggww#sstt",
          "tt#wwwwwggggwggggggwgggggww#sstt",
          "tt#wwwwwwwwwwwwkkkwwwwwwwww#sstt",
          "tt#wwbbbbwbbbbwkkwwwwwwwwww#sstt",
          "tt#wwbbbbwbbbbwkwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwkwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwkwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt#wwwwwwwwwwwwwwwwwwwwwwww#sstt",
          "tt##########################sstt",
          "ttttsssssssssssssssssssssssssstt",
          "ttttsssssssssssssssssssssssssstt",
          "tttttttttttttttttttttttttttttttt",
          "tttttttttttttttttttttttttttttttt",
      },
      {{'t', kTransparentPixel},
       {'s', OpaquePixel(0x9A9A9A)},
       {'#', kFrame},
       {'h', OpaquePixel(0xC9D7EA)},
       {'w', kPaper},
       {'b', kLatinInk},
       {'g', kArabicInk},
       {'k', kCaret}});
}

}  // namespace kestrix
