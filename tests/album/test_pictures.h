#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "marovine/album/rgb_image.h"

namespace marovine::testing {

// A picture whose pixel (x, y) is (x, y, x + y) modulo 256, so that a test can
// tell which source pixel landed where.
RgbImage GradientImage(std::uint32_t width, std::uint32_t height);
RgbImage SolidImage(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g,
                    std::uint8_t b);

// JPEG files written with libjpeg directly (not with the code under test).
std::string EncodeGreyJpeg(std::uint32_t width, std::uint32_t height, std::uint8_t level);
// A CMYK JPEG in Adobe's convention (inverted inks, Adobe marker), every pixel
// the given inks (0 = none, 255 = full).
std::string EncodeAdobeCmykJpeg(std::uint32_t width, std::uint32_t height, std::uint8_t c,
                                std::uint8_t m, std::uint8_t y, std::uint8_t k);
// A progressive colour JPEG of the picture (the library's simple progression).
std::string EncodeProgressiveJpeg(const RgbImage& image);
// Repeats the file's last scan until the file holds `scans` more scans, as a
// hostile file would to keep a decoder busy.
std::string RepeatLastScan(std::string jpeg, int scans);
// Rewrites the size in a baseline JPEG's SOF0 marker.
std::string PatchJpegSize(std::string jpeg, std::uint16_t width, std::uint16_t height);

// A BMP file assembled byte by byte. `rows` are the pixel rows top-down: for
// 24 bits, (b, g, r) triples; for indexed depths, one palette index per
// pixel. Rows are packed and padded to four bytes as the format wants.
struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::uint32_t header_size = 40;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries
  std::vector<std::vector<std::uint8_t>> rows;
  std::int64_t pixel_offset = -1;  // -1: right after the palette
};
std::string MakeBmp(const BmpLayout& layout);

}  // namespace marovine::testing
