// Mixing the text colour over pixels: every channel is rounded exactly, a row blends as the
// same pixels one by one would, and a row is clipped to the surface and to the visible parts.
#include <gtest/gtest.h>

#include <vector>

#include "framework/gdi/PixelRows.h"
#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/Surface.h"

namespace kestrix {

namespace {

uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// The mix written out per channel, with the division done plainly.
uint32_t Expected(uint32_t src, uint32_t dst, uint32_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((Channel(src, shift) * a + Channel(dst, shift) * (255 - a) + 127) / 255) << shift;
  return out;
}

TEST(BlendTest, EveryCoverageRoundsEachChannelExactly) {
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0x123456, 0xFF00FF, 0x00FF00, 0x7F8081, 0x01FE02};
  for (uint32_t src : colours)
    for (uint32_t dst : colours)
      for (uint32_t a = 0; a <= 255; ++a) {
        Surface s(1, 1, dst);
        s.Blend(0, 0, src, static_cast<uint8_t>(a));
        ASSERT_EQ(s.Pixel(0, 0), a == 0 ? dst : Expected(src, dst, a)) << std::hex << src << " over " << dst
                                                                          << " at " << std::dec << a;
      }
}

TEST(BlendTest, ARowOfEveryCoverageBlendsAsItsPixelsWouldOneByOne) {
  std::vector<uint8_t> coverage(256 + 3);
  for (size_t i = 0; i < coverage.size(); ++i) coverage[i] = static_cast<uint8_t>(i);
  for (uint32_t under : {0x000000u, 0xFFFFFFu, 0x3A7FC2u}) {
    Surface row(300, 1, under), single(300, 1, under);
    // Odd starts and lengths, so that rows begin and end between groups of pixels.
    row.BlendRow(1, 0, 0x9C2E71, coverage.data(), static_cast<int>(coverage.size()));
    for (int i = 0; i < static_cast<int>(coverage.size()); ++i)
      single.Blend(1 + i, 0, 0x9C2E71, coverage[static_cast<size_t>(i)]);
    EXPECT_EQ(row.Pixels(), single.Pixels()) << std::hex << under;
  }
}

TEST(BlendTest, ARowBlendsAsItsPixelsWouldOneByOne) {
  std::vector<uint8_t> coverage(40);
  for (size_t i = 0; i < coverage.size(); ++i) coverage[i] = static_cast<uint8_t>(i * 37);
  Surface row(30, 3, 0x336699), single(30, 3, 0x336699);
  // Starting left of the surface and running past its right edge.
  row.BlendRow(-5, 1, 0xC08040, coverage.data(), 40);
  for (int i = 0; i < 40; ++i) single.Blend(-5 + i, 1, 0xC08040, coverage[static_cast<size_t>(i)]);
  EXPECT_EQ(row.Pixels(), single.Pixels());
  // Rows off the surface change nothing.
  row.BlendRow(0, -1, 0, coverage.data(), 40);
  row.BlendRow(0, 3, 0, coverage.data(), 40);
  EXPECT_EQ(row.Pixels(), single.Pixels());
}

TEST(BlendTest, TextRowsKeepToTheVisiblePartsAndBlendOverlapsOnce) {
  std::vector<uint8_t> coverage(20, 128);
  // Two clip rectangles overlapping on columns 6..9 of row 2, and one not on that row.
  std::vector<RECT> clip{{2, 0, 10, 5}, {6, 2, 14, 3}, {15, 4, 20, 5}};
  Surface byRow(20, 5, 0xFFFFFF), byPixel(20, 5, 0xFFFFFF);
  DeviceContext rows(&byRow, POINT{0, 0}, clip), pixels(&byPixel, POINT{0, 0}, clip);
  rows.textColor = pixels.textColor = RGB(0, 0, 0);
  rows.BlendTextRow(0, 2, coverage.data(), 20);
  for (int x = 0; x < 20; ++x) pixels.BlendText(x, 2, 128);
  EXPECT_EQ(byRow.Pixels(), byPixel.Pixels());
  EXPECT_EQ(byRow.Pixel(1, 2), 0xFFFFFFu);
  EXPECT_EQ(byRow.Pixel(8, 2), Expected(0, 0xFFFFFF, 128));
  EXPECT_EQ(byRow.Pixel(14, 2), 0xFFFFFFu);
}

TEST(BlendTest, ImagesBlendAsTheirPixelsWouldUnderAnyClip) {
  // A 7 × 5 image cut from a wider buffer (stride 9), drawn across clip edges.
  std::vector<uint8_t> buffer(9 * 5);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>((i * 53) % 256);
  const std::vector<std::vector<RECT>> clips{
      {{0, 0, 12, 12}},
      {{0, 0, 5, 12}, {5, 0, 12, 3}},      // disjoint
      {{0, 0, 6, 12}, {4, 2, 12, 12}},     // overlapping
  };
  for (const auto& clip : clips) {
    Surface byImage(12, 12, 0x204060), byPixel(12, 12, 0x204060);
    DeviceContext image(&byImage, POINT{1, 1}, clip), pixels(&byPixel, POINT{1, 1}, clip);
    image.textColor = pixels.textColor = RGB(250, 10, 90);
    image.BlendTextImage(2, 1, buffer.data(), 7, 5, 9);
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 7; ++col) pixels.BlendText(2 + col, 1 + row, buffer[static_cast<size_t>(row * 9 + col)]);
    EXPECT_EQ(byImage.Pixels(), byPixel.Pixels()) << clip.size() << " clip rectangles";
  }
}

TEST(BlendTest, ImagesCutBySurfaceEdgesBlendOnlyTheirPixelsInside) {
  std::vector<uint8_t> buffer(11 * 6);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>((i * 71 + 13) % 256);
  for (POINT corner : {POINT{-3, -2}, POINT{5, 3}, POINT{-20, 0}, POINT{2, 1}}) {
    Surface byImage(9, 6, 0x102030), byPixel(9, 6, 0x102030);
    byImage.BlendImage(corner.x, corner.y, 0xE0C0A0, buffer.data(), 10, 6, 11);
    for (int row = 0; row < 6; ++row)
      for (int col = 0; col < 10; ++col)
        byPixel.Blend(corner.x + col, corner.y + row, 0xE0C0A0, buffer[static_cast<size_t>(row * 11 + col)]);
    EXPECT_EQ(byImage.Pixels(), byPixel.Pixels()) << corner.x << "," << corner.y;
  }
}

// Every vector width the processor offers mixes a row exactly as Mix does pixel by pixel,
// through runs of no coverage, of full coverage and of partial coverage, and through row ends
// shorter than a vector, with and without slack after the row; the slack comes back unchanged.
TEST(BlendTest, EveryVectorWidthMixesARowAsThePixelsOneByOne) {
  std::vector<uint8_t> coverage;
  for (int i = 0; i < 256; ++i) coverage.push_back(static_cast<uint8_t>(i));
  coverage.insert(coverage.end(), 8, 0);
  coverage.insert(coverage.end(), 8, 255);
  coverage.insert(coverage.end(), {255, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 1, 254});
  for (int i = 0; i < 61; ++i) coverage.push_back(static_cast<uint8_t>((i * 97) % 256));
  coverage.insert(coverage.end(), 16, 200);  // after the rows' ends: must never be read as coverage
  const int length = static_cast<int>(coverage.size()) - 16;
  std::vector<std::pair<const char*, pixelrows::RowBlender>> variants{{"one by one", pixelrows::RowOneByOne}};
  if (pixelrows::FourWide()) variants.emplace_back("four wide", pixelrows::FourWide());
  if (pixelrows::EightWide()) variants.emplace_back("eight wide", pixelrows::EightWide());
  auto under = [](int i) { return 0x010203u * static_cast<uint32_t>(i % 85); };
  for (uint32_t colour : {0x000000u, 0xFFFFFFu, 0x9C2E71u})
    for (int start : {0, 1, 3, 7})
      for (int end : {0, 1, 2, 5, 6})
        for (int slack : {0, 3, 7, 12}) {
          const int count = length - start - end;
          std::vector<uint32_t> expected(static_cast<size_t>(count + slack));
          for (int i = 0; i < count + slack; ++i)
            expected[static_cast<size_t>(i)] =
                i < count ? pixelrows::Mix(colour, under(i), coverage[static_cast<size_t>(start + i)]) : under(i);
          for (const auto& [name, variant] : variants) {
            std::vector<uint32_t> row(static_cast<size_t>(count + slack));
            for (int i = 0; i < count + slack; ++i) row[static_cast<size_t>(i)] = under(i);
            variant(row.data(), coverage.data() + start, count, colour, slack);
            ASSERT_EQ(row, expected) << name << " from " << start << " count " << count << " slack " << slack
                                     << " colour " << std::hex << colour;
          }
        }
}

}  // namespace

}  // namespace kestrix
