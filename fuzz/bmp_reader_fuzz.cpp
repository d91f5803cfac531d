// Feeds arbitrary bytes to the BMP reader: it must refuse with a status or
// hand back a picture whose buffer matches its size, never crash or read
// outside what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "marovine/album/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  marovine::BmpReader reader;
  auto image = reader.ReadBmpBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  if (image) {
    if (reader.status() != "OK") std::abort();
    if (image->pixels.size() != image->row_bytes() * image->height) std::abort();
  } else if (reader.status() == "OK") {
    std::abort();
  }
  return 0;
}
