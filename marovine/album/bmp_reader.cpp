#include "marovine/album/bmp_reader.h"

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

#include "platform/unique_handle.h"

namespace marovine {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;

// Reads little-endian fields one by one and counts what it consumed, which is
// how the pixel data offset and the row padding are found.
class FieldReader {
 public:
  explicit FieldReader(std::FILE* file) : file_(file) {}

  bool Bytes(void* into, std::size_t count) {
    if (count == 0) return true;
    if (std::fread(into, 1, count, file_) != count) return false;
    consumed_ += count;
    return true;
  }
  bool U16(std::uint32_t* value) {
    unsigned char b[2];
    if (!Bytes(b, 2)) return false;
    *value = b[0] | (b[1] << 8);
    return true;
  }
  bool U32(std::uint32_t* value) {
    unsigned char b[4];
    if (!Bytes(b, 4)) return false;
    *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }
  bool Skip(std::uint64_t count) {
    unsigned char sink[256];
    while (count > 0) {
      std::size_t step = count < sizeof sink ? static_cast<std::size_t>(count) : sizeof sink;
      if (!Bytes(sink, step)) return false;
      count -= step;
    }
    return true;
  }
  std::uint64_t consumed() const { return consumed_; }

 private:
  std::FILE* file_;
  std::uint64_t consumed_ = 0;
};

struct BmpHeaders {
  std::uint32_t file_size, reserved1, reserved2, pixel_offset;
  std::uint32_t header_size, width, height, planes, bits, compression, image_size;
  std::uint32_t x_resolution, y_resolution, colours_used, colours_important;
};

bool ReadHeaders(FieldReader& in, BmpHeaders* h) {
  return in.U32(&h->file_size) && in.U16(&h->reserved1) && in.U16(&h->reserved2) &&
         in.U32(&h->pixel_offset) && in.U32(&h->header_size) && in.U32(&h->width) &&
         in.U32(&h->height) && in.U16(&h->planes) && in.U16(&h->bits) && in.U32(&h->compression) &&
         in.U32(&h->image_size) && in.U32(&h->x_resolution) && in.U32(&h->y_resolution) &&
         in.U32(&h->colours_used) && in.U32(&h->colours_important);
}

}  // namespace

std::optional<RgbImage> BmpReader::ReadBmpFile(const std::string& path) {
  status_ = "OK";
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  struct stat st {};
  if (!file || ::fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
    status_ = "Can't open file for reading :\n" + path;
    return std::nullopt;
  }
  return Read(file.get(), static_cast<std::uint64_t>(st.st_size));
}

std::optional<RgbImage> BmpReader::ReadBmpBytes(std::string_view bytes) {
  status_ = "OK";
  if (bytes.size() < 2) {
    status_ = "Not a valid BMP File";
    return std::nullopt;
  }
  platform::UniqueFile file(::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"));
  if (!file) {
    status_ = "Out of memory";
    return std::nullopt;
  }
  return Read(file.get(), bytes.size());
}

std::optional<RgbImage> BmpReader::Read(std::FILE* file, std::uint64_t file_size) {
  FieldReader in(file);
  char magic[2] = {0, 0};
  if (!in.Bytes(magic, 2) || magic[0] != 'B' || magic[1] != 'M') {
    status_ = "Not a valid BMP File";
    return std::nullopt;
  }
  BmpHeaders h{};
  if (!ReadHeaders(in, &h)) {
    status_ = "Read Error!";
    return std::nullopt;
  }
  if (h.compression != 0) {
    status_ = "This is a compressed file.";
    return std::nullopt;
  }
  // Older (OS/2) headers are shorter and lay their fields out differently.
  if (h.header_size < kInfoHeaderSize) {
    status_ = "Not a valid BMP File";
    return std::nullopt;
  }
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24) {
    status_ = "Unsupported bits per pixel";
    return std::nullopt;
  }
  // Later header versions (V4, V5) carry more fields; the palette follows them.
  if (!in.Skip(h.header_size - kInfoHeaderSize)) {
    status_ = "Read Error!";
    return std::nullopt;
  }

  // Pixels index the palette; an index past its end reads as black.
  std::array<std::array<std::uint8_t, 3>, 256> palette{};
  if (h.bits <= 8) {
    std::uint32_t limit = 1u << h.bits;
    std::uint32_t colours = h.colours_used != 0 ? h.colours_used : limit;
    if (colours > limit) {
      status_ = "Corrupt palette";
      return std::nullopt;
    }
    for (std::uint32_t i = 0; i < colours; ++i) {
      unsigned char quad[4];
      if (!in.Bytes(quad, 4)) {
        status_ = "Read Error!";
        return std::nullopt;
      }
      palette[i] = {quad[2], quad[1], quad[0]};
    }
  }
  if (in.consumed() > h.pixel_offset) {
    status_ = "Corrupt palette";
    return std::nullopt;
  }

  // Negative heights (top-down files) and widths are refused like any other
  // impossible size rather than read as four-billion-pixel pictures.
  auto width = static_cast<std::int32_t>(h.width);
  auto height = static_cast<std::int32_t>(h.height);
  if (width <= 0 || height <= 0 ||
      !IsSaneImageSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height))) {
    status_ = "Invalid image size";
    return std::nullopt;
  }
  std::uint64_t stride = ((static_cast<std::uint64_t>(width) * h.bits + 31) / 32) * 4;
  // A short file is refused before anything large is allocated: every row,
  // padding included, must be there.
  if (h.pixel_offset > file_size || file_size - h.pixel_offset < stride * height) {
    status_ = "Read Error";
    return std::nullopt;
  }
  if (!in.Skip(h.pixel_offset - in.consumed())) {
    status_ = "Read Error";
    return std::nullopt;
  }
  auto image =
      AllocateRgbImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
  std::vector<std::uint8_t> row;
  try {
    row.resize(stride);
  } catch (const std::bad_alloc&) {
    image.reset();
  }
  if (!image) {
    status_ = "Memory alloc Failed";
    return std::nullopt;
  }

  // File rows run bottom-up.
  for (std::int32_t file_row = 0; file_row < height; ++file_row) {
    if (!in.Bytes(row.data(), row.size())) {
      status_ = "Read Error";
      return std::nullopt;
    }
    std::uint8_t* out = image->pixels.data() + (height - 1 - file_row) * image->row_bytes();
    if (h.bits == 24) {
      for (std::int32_t x = 0; x < width; ++x) {
        out[x * 3] = row[x * 3 + 2];
        out[x * 3 + 1] = row[x * 3 + 1];
        out[x * 3 + 2] = row[x * 3];
      }
      continue;
    }
    // Indexed rows start on a fresh byte; pixels come from the high bits down.
    unsigned per_byte = 8 / h.bits;
    unsigned mask = (1u << h.bits) - 1;
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t byte = row[static_cast<std::size_t>(x) / per_byte];
      unsigned shift = 8 - h.bits * (static_cast<unsigned>(x) % per_byte + 1);
      const auto& colour = palette[(byte >> shift) & mask];
      out[x * 3] = colour[0];
      out[x * 3 + 1] = colour[1];
      out[x * 3 + 2] = colour[2];
    }
  }
  return image;
}

}  // namespace marovine
