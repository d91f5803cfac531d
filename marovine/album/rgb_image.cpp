#include "marovine/album/rgb_image.h"

#include <new>

namespace marovine {

bool IsSaneImageSize(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

std::optional<RgbImage> AllocateRgbImage(std::uint32_t width, std::uint32_t height) {
  if (!IsSaneImageSize(width, height)) return std::nullopt;
  RgbImage image;
  try {
    image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  image.width = width;
  image.height = height;
  return image;
}

}  // namespace marovine
