#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace marovine {

// A picture in memory: width × height pixels of three bytes (red, green, blue),
// rows top-down without gaps. Decoders, the scaler, the album and the picture
// pane pass these by value; an absent picture is an empty optional.
struct RgbImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;

  std::size_t row_bytes() const { return static_cast<std::size_t>(width) * 3; }
};

// Neither side of a picture we decode may exceed this; it keeps a hostile header
// from asking for gigabytes (16384 × 16384 × 3 is 768 MiB, already a lot).
inline constexpr std::uint32_t kMaxImageSide = 16384;

// True when a picture of this size may be allocated: both sides non-zero and
// within kMaxImageSide.
bool IsSaneImageSize(std::uint64_t width, std::uint64_t height);

// Allocates a picture of that size, or nothing when the size is not sane or
// memory runs out.
std::optional<RgbImage> AllocateRgbImage(std::uint32_t width, std::uint32_t height);

}  // namespace marovine
