// Feeds arbitrary bytes to the JPEG reader (and the reduced decode the
// thumbnails use, through a file): no buffer or a buffer of the stated size,
// never a crash, a leak or a message on the terminal.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/album/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto image = marovine::ReadJpegRgbFromMemory(bytes);
  if (image && image->pixels.size() != image->row_bytes() * image->height) std::abort();

  static const std::string path = "/tmp/jpeg_reader_fuzz." + std::to_string(::getpid()) + ".jpg";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    auto reduced = marovine::ReadJpegRgbReduced(path, 100);
    if (reduced &&
        (reduced->image.width > reduced->full_width ||
         reduced->image.pixels.size() != reduced->image.row_bytes() * reduced->image.height)) {
      std::abort();
    }
  }
  return 0;
}
