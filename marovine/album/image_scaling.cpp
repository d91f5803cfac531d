#include "marovine/album/image_scaling.h"

#include <cstring>
#include <vector>

namespace marovine {

std::optional<RgbImage> ScaleToWidth(const RgbImage& source, std::uint32_t new_width) {
  if (source.width == 0 || new_width == 0) return std::nullopt;
  std::uint64_t new_height = static_cast<std::uint64_t>(source.height) * new_width / source.width;
  if (!IsSaneImageSize(new_width, new_height)) return std::nullopt;
  auto scaled = AllocateRgbImage(new_width, static_cast<std::uint32_t>(new_height));
  if (!scaled) return std::nullopt;
  // One factor for both axes, in double precision, so that the taken rows and
  // columns are the same as the picture pane has always shown.
  double factor = static_cast<double>(source.width) / new_width;
  std::vector<std::size_t> column_offsets(new_width);
  for (std::uint32_t j = 0; j < new_width; ++j) {
    column_offsets[j] = static_cast<std::size_t>(factor * j) * 3;
  }
  for (std::uint32_t i = 0; i < scaled->height; ++i) {
    auto row = static_cast<std::size_t>(factor * i);
    if (row >= source.height) row = source.height - 1;
    const std::uint8_t* from = source.pixels.data() + row * source.row_bytes();
    std::uint8_t* to = scaled->pixels.data() + i * scaled->row_bytes();
    for (std::uint32_t j = 0; j < new_width; ++j)
      std::memcpy(to + j * 3, from + column_offsets[j], 3);
  }
  return scaled;
}

std::optional<RgbImage> ScaleToSize(const RgbImage& source, std::uint32_t new_width,
                                    std::uint32_t new_height) {
  if (source.width == 0 || source.height == 0) return std::nullopt;
  auto scaled = AllocateRgbImage(new_width, new_height);
  if (!scaled) return std::nullopt;
  std::vector<std::size_t> column_offsets(new_width);
  for (std::uint32_t j = 0; j < new_width; ++j) {
    column_offsets[j] =
        static_cast<std::size_t>(static_cast<std::uint64_t>(j) * source.width / new_width) * 3;
  }
  for (std::uint32_t i = 0; i < new_height; ++i) {
    std::uint64_t row = static_cast<std::uint64_t>(i) * source.height / new_height;
    const std::uint8_t* from = source.pixels.data() + row * source.row_bytes();
    std::uint8_t* to = scaled->pixels.data() + i * scaled->row_bytes();
    for (std::uint32_t j = 0; j < new_width; ++j)
      std::memcpy(to + j * 3, from + column_offsets[j], 3);
  }
  return scaled;
}

}  // namespace marovine
