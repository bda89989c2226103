// Rows of 0x00RRGGBB pixels filled with one colour, or with one colour mixed over them by a
// coverage byte per pixel, in the widest vectors the processor offers. Every blending variant
// rounds each channel exactly as Mix does, so the pixels do not depend on the processor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix::pixelrows {

// (s * a + d * (255 - a) + 127) / 255 in each channel; a = 0 keeps dst, 255 gives s.
uint32_t Mix(uint32_t xrgb, uint32_t dst, uint32_t a);

// pixels[i] takes xrgb at coverage[i], for i below count. Up to `slack` pixels after the row
// may be read and written back unchanged, which lets a short row's end go through a vector.
using RowBlender = void (*)(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t xrgb, int slack);

// The widest blender this processor runs.
RowBlender Widest();

// The variants Widest chooses from; a variant the processor lacks is null.
void RowOneByOne(uint32_t* pixels, const uint8_t* coverage, int count, uint32_t xrgb, int slack);
RowBlender FourWide();
RowBlender EightWide();

// pixels[i] = xrgb for i below count.
void Fill(uint32_t* pixels, size_t count, uint32_t xrgb);

// Rows of an image: row r of `rows` starts at pixels + r * pixelStride and takes
// coverage + r * coverageStride, each row with the same slack.
void Image(uint32_t* pixels, size_t pixelStride, const uint8_t* coverage, size_t coverageStride, int width,
           int rows, uint32_t xrgb, int slack);

}  // namespace kestrix::pixelrows
