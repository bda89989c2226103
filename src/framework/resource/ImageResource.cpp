#include "framework/resource/ImageResource.h"

#include <stdexcept>

namespace kestrix {

ImageResource ImageFromRows(const std::vector<std::string>& rows,
                            const std::map<char, uint32_t>& palette) {
  ImageResource image;
  image.height = static_cast<int>(rows.size());
  image.width = rows.empty() ? 0 : static_cast<int>(rows.front().size());
  image.pixels.reserve(static_cast<size_t>(image.width) * rows.size());
  for (const std::string& row : rows) {
    if (static_cast<int>(row.size()) != image.width)
      throw std::invalid_argument("image rows differ in length");
    for (char c : row) {
      auto it = palette.find(c);
      if (it == palette.end()) throw std::invalid_argument(std::string("no palette entry for '") + c + "'");
      image.pixels.push_back(it->second);
    }
  }
  return image;
}

}  // namespace kestrix
