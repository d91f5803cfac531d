#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "marovine/album/rgb_image.h"

namespace marovine {

// Reads uncompressed BMP files of 1, 4, 8 and 24 bits per pixel. After each
// read, status() is "OK" or the reason the file was refused; a picture comes
// back only with "OK". The reasons are the texts the picture pane has always
// shown ("Can't open file for reading :\n" + path, "Read Error!", "Not a valid
// BMP File", "This is a compressed file.", "Out of memory", "Corrupt palette",
// "Memory alloc Failed", "Read Error") plus two for files those never
// covered: "Unsupported bits per pixel" (16 and 32 bits, anything odd) and
// "Invalid image size" (zero, negative or beyond kMaxImageSide).
class BmpReader {
 public:
  std::optional<RgbImage> ReadBmpFile(const std::string& path);
  // The same for a file already in memory.
  std::optional<RgbImage> ReadBmpBytes(std::string_view bytes);

  const std::string& status() const { return status_; }

 private:
  std::optional<RgbImage> Read(std::FILE* file, std::uint64_t file_size);

  std::string status_ = "OK";
};

}  // namespace marovine
