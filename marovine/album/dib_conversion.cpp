#include "marovine/album/dib_conversion.h"

#include <algorithm>
#include <cstring>

namespace marovine {

bool SwapRedBlue(RgbImage* image) {
  if (image == nullptr || image->pixels.empty()) return false;
  std::size_t needed = image->row_bytes() * image->height;
  if (image->pixels.size() < needed) return false;
  for (std::size_t at = 0; at < needed; at += 3)
    std::swap(image->pixels[at], image->pixels[at + 2]);
  return true;
}

bool FlipRows(std::uint8_t* rows, std::size_t row_bytes, std::uint32_t height) {
  if (rows == nullptr) return false;
  for (std::uint32_t i = 0; i < height / 2; ++i) {
    std::swap_ranges(rows + i * row_bytes, rows + (i + 1) * row_bytes,
                     rows + (height - 1 - i) * row_bytes);
  }
  return true;
}

std::optional<AlignedRows> MakeRowAlignedCopy(const RgbImage* image) {
  if (image == nullptr || image->pixels.empty()) return std::nullopt;
  AlignedRows aligned;
  aligned.stride = ((static_cast<std::size_t>(image->width) * 24 + 31) / 32) * 4;
  aligned.bytes.assign(aligned.stride * image->height, 0);
  for (std::uint32_t row = 0; row < image->height; ++row) {
    std::memcpy(aligned.bytes.data() + row * aligned.stride,
                image->pixels.data() + row * image->row_bytes(), image->row_bytes());
  }
  return aligned;
}

}  // namespace marovine
