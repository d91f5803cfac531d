#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "marovine/album/rgb_image.h"

namespace marovine {

// JPEG decoding and encoding through libjpeg. Nothing here prints: every
// library error comes back to the caller as "no picture" / false, with every
// file and library object released.
//
// Greyscale files decode to three equal bytes per pixel; CMYK and YCCK files
// (the Adobe kind included) are converted to RGB. Pictures larger than
// kMaxImageSide on either side, progressive files of more than 500 scans and
// files with other colour layouts yield nothing.

// Decodes the whole file at full size.
std::optional<RgbImage> ReadJpegRgb(const std::string& path);
std::optional<RgbImage> ReadJpegRgbFromMemory(std::string_view bytes);

// A decode that used libjpeg's DCT scaling to skip detail a thumbnail would
// throw away: `image` is the reduced picture, the full size is kept beside it.
struct ReducedJpeg {
  RgbImage image;
  std::uint32_t full_width = 0;
  std::uint32_t full_height = 0;
};

// Decodes at the smallest of the library's eighths (1/8 .. 8/8) whose width is
// still at least min_width, so a nearest-neighbour pass to min_width loses
// nothing against a full-size decode.
std::optional<ReducedJpeg> ReadJpegRgbReduced(const std::string& path, std::uint32_t min_width);

// Encodes the picture (colour, or as luminance 0.299 R + 0.587 G + 0.114 B
// when colour is false) with baseline tables at the given quality (1..100).
// The file is replaced whole or not at all. False when nothing was written.
bool WriteJpegRgb(const std::string& path, const RgbImage& image, bool colour, int quality);

// The encoded bytes, for callers that keep them in memory; nothing on failure.
std::optional<std::string> EncodeJpegRgb(const RgbImage& image, bool colour, int quality);

}  // namespace marovine
