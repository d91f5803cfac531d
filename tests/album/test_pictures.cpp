#include "tests/album/test_pictures.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <stdexcept>

namespace marovine::testing {

RgbImage GradientImage(std::uint32_t width, std::uint32_t height) {
  RgbImage image{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 3)};
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* p = &image.pixels[(std::size_t{y} * width + x) * 3];
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(x + y);
    }
  }
  return image;
}

RgbImage SolidImage(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g,
                    std::uint8_t b) {
  RgbImage image{width, height, {}};
  for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
    image.pixels.insert(image.pixels.end(), {r, g, b});
  }
  return image;
}

namespace {

std::string Compress(std::uint32_t width, std::uint32_t height, int components, J_COLOR_SPACE space,
                     const std::vector<std::uint8_t>& pixels, bool progressive = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* block = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &block, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(pixels.data() + std::size_t{cinfo.next_scanline} * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(block), size);
  std::free(block);
  return bytes;
}

void Put16(std::string* out, std::uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string EncodeGreyJpeg(std::uint32_t width, std::uint32_t height, std::uint8_t level) {
  return Compress(width, height, 1, JCS_GRAYSCALE,
                  std::vector<std::uint8_t>(std::size_t{width} * height, level));
}

std::string EncodeAdobeCmykJpeg(std::uint32_t width, std::uint32_t height, std::uint8_t c,
                                std::uint8_t m, std::uint8_t y, std::uint8_t k) {
  std::vector<std::uint8_t> pixels;
  for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
    pixels.insert(pixels.end(),
                  {static_cast<std::uint8_t>(255 - c), static_cast<std::uint8_t>(255 - m),
                   static_cast<std::uint8_t>(255 - y), static_cast<std::uint8_t>(255 - k)});
  }
  return Compress(width, height, 4, JCS_CMYK, pixels);
}

std::string EncodeProgressiveJpeg(const RgbImage& image) {
  return Compress(image.width, image.height, 3, JCS_RGB, image.pixels, true);
}

std::string RepeatLastScan(std::string jpeg, int scans) {
  std::size_t last_scan = std::string::npos;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        static_cast<unsigned char>(jpeg[i + 1]) == 0xDA) {
      last_scan = i;
    }
  }
  if (last_scan == std::string::npos || jpeg.size() < 2) throw std::runtime_error("no scan");
  std::size_t end = jpeg.size() - 2;  // the EOI marker
  std::string scan = jpeg.substr(last_scan, end - last_scan);
  std::string repeated;
  for (int i = 0; i < scans; ++i) repeated += scan;
  jpeg.insert(end, repeated);
  return jpeg;
}

std::string PatchJpegSize(std::string jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        static_cast<unsigned char>(jpeg[i + 1]) == 0xC0) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height & 0xFF);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width & 0xFF);
      return jpeg;
    }
  }
  throw std::runtime_error("no SOF0 marker");
}

std::string MakeBmp(const BmpLayout& layout) {
  std::string pixels;
  for (auto row = layout.rows.rbegin(); row != layout.rows.rend(); ++row) {
    std::string packed;
    if (layout.bits == 0 || layout.bits > 8) {  // direct colours (odd depths: whatever bytes given)
      packed.assign(row->begin(), row->end());
    } else {
      unsigned per_byte = 8 / layout.bits;
      for (std::size_t x = 0; x < row->size(); ++x) {
        if (x % per_byte == 0) packed.push_back(0);
        unsigned shift = 8 - layout.bits * (x % per_byte + 1);
        packed.back() = static_cast<char>(packed.back() | ((*row)[x] << shift));
      }
    }
    while (packed.size() % 4 != 0) packed.push_back(0);
    pixels += packed;
  }
  std::string palette;
  for (std::uint32_t entry : layout.palette) Put32(&palette, entry);
  std::uint32_t offset = layout.pixel_offset >= 0
                             ? static_cast<std::uint32_t>(layout.pixel_offset)
                             : 14 + layout.header_size + static_cast<std::uint32_t>(palette.size());
  std::string file = "BM";
  Put32(&file, offset + static_cast<std::uint32_t>(pixels.size()));
  Put16(&file, 0);
  Put16(&file, 0);
  Put32(&file, offset);
  Put32(&file, layout.header_size);
  Put32(&file, static_cast<std::uint32_t>(layout.width));
  Put32(&file, static_cast<std::uint32_t>(layout.height));
  Put16(&file, 1);
  Put16(&file, layout.bits);
  Put32(&file, layout.compression);
  Put32(&file, static_cast<std::uint32_t>(pixels.size()));
  Put32(&file, 2835);
  Put32(&file, 2835);
  Put32(&file, layout.colours_used);
  Put32(&file, 0);
  file.append(layout.header_size - 40, '\0');
  file += palette;
  if (file.size() < offset) file.append(offset - file.size(), '\0');
  file += pixels;
  return file;
}

}  // namespace marovine::testing
