// Bitmap and icon files from the framework's image resources.
#pragma once

#include <string>

#include "framework/resource/ImageResource.h"

namespace kestrix {

// A 24-bit bitmap file (transparent pixels become the colour they hold).
std::string BitmapFile(const ImageResource& image);
// An icon file with one 32-bit image, its transparency in the alpha channel and the mask.
std::string IconFile(const ImageResource& image);

}  // namespace kestrix
