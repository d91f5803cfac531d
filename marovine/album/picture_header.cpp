#include "marovine/album/picture_header.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace marovine {
namespace {

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]);
}

std::optional<PixelSize> PngSize(std::string_view bytes) {
  constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.size() < 24 || bytes.substr(0, 8) != kSignature || bytes.substr(12, 4) != "IHDR") {
    return std::nullopt;
  }
  auto big_endian = [&](std::size_t at) {
    return Byte(bytes, at) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 |
           Byte(bytes, at + 3);
  };
  return PixelSize{big_endian(16), big_endian(20)};
}

// Skips a chain of data sub-blocks (a length byte, that many bytes, until a
// zero length); answers the position after it, or nothing when cut short.
std::optional<std::size_t> SkipSubBlocks(std::string_view bytes, std::size_t at) {
  while (at < bytes.size()) {
    const std::size_t length = Byte(bytes, at);
    ++at;
    if (length == 0) return at;
    at += length;
  }
  return std::nullopt;
}

std::optional<PixelSize> GifSize(std::string_view bytes) {
  if (bytes.size() < 13 || (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a")) {
    return std::nullopt;
  }
  auto little_endian = [&](std::size_t at) { return Byte(bytes, at) | Byte(bytes, at + 1) << 8; };
  PixelSize largest{little_endian(6), little_endian(8)};
  const std::uint32_t screen_flags = Byte(bytes, 10);
  std::size_t at = 13;
  if (screen_flags & 0x80) at += 3u * (1u << ((screen_flags & 7) + 1));
  while (at < bytes.size()) {
    const std::uint32_t block = Byte(bytes, at);
    if (block == 0x3B) return largest;  // the trailer
    if (block == 0x21) {                // an extension: label, then sub-blocks
      auto next = SkipSubBlocks(bytes, at + 2);
      if (!next) return std::nullopt;
      at = *next;
    } else if (block == 0x2C) {  // a frame
      if (at + 10 > bytes.size()) return std::nullopt;
      largest.width = std::max<std::int64_t>(largest.width, little_endian(at + 5));
      largest.height = std::max<std::int64_t>(largest.height, little_endian(at + 7));
      const std::uint32_t flags = Byte(bytes, at + 9);
      at += 10;
      if (flags & 0x80) at += 3u * (1u << ((flags & 7) + 1));
      auto next = SkipSubBlocks(bytes, at + 1);  // after the LZW code size
      if (!next) return std::nullopt;
      at = *next;
    } else {
      return std::nullopt;
    }
  }
  // No trailer: decoders show what came; the frames seen are all there is.
  return largest;
}

}  // namespace

std::optional<PixelSize> DeclaredPictureSize(std::string_view bytes, PictureFormat format) {
  switch (format) {
    case PictureFormat::kPng:
      return PngSize(bytes);
    case PictureFormat::kGif:
      return GifSize(bytes);
    default:
      return std::nullopt;
  }
}

}  // namespace marovine
