#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "marovine/album/rgb_image.h"

namespace marovine {

// The picture pane draws through a bottom-up, blue-green-red bitmap with rows
// padded to four bytes. These three steps turn an RgbImage into one.

// Exchanges the first and third byte of every pixel. False for no picture.
bool SwapRedBlue(RgbImage* image);

// Reverses the order of `height` rows of `row_bytes` bytes each, in place.
// False for no buffer.
bool FlipRows(std::uint8_t* rows, std::size_t row_bytes, std::uint32_t height);

struct AlignedRows {
  std::size_t stride = 0;  // ((width × 24 + 31) / 32) × 4
  std::vector<std::uint8_t> bytes;
};

// Copies each row to the start of a four-byte aligned stride; the padding is
// zero. Nothing for no picture.
std::optional<AlignedRows> MakeRowAlignedCopy(const RgbImage* image);

}  // namespace marovine
