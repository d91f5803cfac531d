#pragma once

#include <cstdint>
#include <optional>

#include "marovine/album/rgb_image.h"

namespace marovine {

// Nearest-neighbour scaling with one factor for both axes: the new height is
// height × new_width / width (truncated). Nothing when the width or the new
// width is 0, or the result would not be a sane size. Narrow pictures are
// enlarged the same way, without smoothing.
std::optional<RgbImage> ScaleToWidth(const RgbImage& source, std::uint32_t new_width);

// Nearest-neighbour scaling to an exact size: destination pixel (i, j) takes
// source row ⌊i × height / new_height⌋ and column ⌊j × width / new_width⌋.
std::optional<RgbImage> ScaleToSize(const RgbImage& source, std::uint32_t new_width,
                                    std::uint32_t new_height);

}  // namespace marovine
