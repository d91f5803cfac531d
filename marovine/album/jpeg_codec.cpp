#include "marovine/album/jpeg_codec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/file_io.h"
#include "platform/unique_handle.h"

namespace marovine {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return; we
// jump back into the function that set the object up. Only plain C state lives
// between setjmp and longjmp (the picture is reached through a pointer made
// before setjmp), so no destructor is skipped.
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void JumpBack(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

// Warnings (corrupt data, a truncated file) are not shown to anybody.
void StayQuiet(j_common_ptr) {}

void InstallErrorManager(JumpingErrorManager* manager) {
  jpeg_std_error(&manager->base);
  manager->base.error_exit = JumpBack;
  manager->base.output_message = StayQuiet;
}

// A progressive file may hold any number of scans, and each is one more pass
// over the whole picture: a small hostile file of thousands of scans keeps the
// album or the picture pane busy for a very long time on a large picture. Real encoders write a
// handful (ten for the library's own progression); the library's authors suggest this limit.
constexpr int kMaxScans = 500;

void StopEndlessScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    (*cinfo->err->error_exit)(cinfo);
  }
}

// Adobe's CMYK files store inverted inks (255 = no ink), which is what libjpeg
// hands back for them; files without the Adobe marker store plain inks.
void CmykRowToRgb(const JSAMPLE* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
      rgb[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
    }
  }
}

struct DecodeRequest {
  std::FILE* file = nullptr;  // one of file or memory
  const unsigned char* memory = nullptr;
  unsigned long memory_size = 0;
  std::uint32_t min_width = 0;  // 0: full size
};

// Decodes into *out; answers false on any failure. Sets full_width/height to
// the size before scaling.
bool Decode(const DecodeRequest& request, RgbImage* out, std::uint32_t* full_width,
            std::uint32_t* full_height) {
  jpeg_decompress_struct cinfo;
  JumpingErrorManager errors;
  cinfo.err = &errors.base;
  InstallErrorManager(&errors);
  jpeg_progress_mgr scan_limit{};
  scan_limit.progress_monitor = StopEndlessScans;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    out->pixels.clear();
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &scan_limit;
  if (request.file != nullptr) {
    jpeg_stdio_src(&cinfo, request.file);
  } else {
    jpeg_mem_src(&cinfo, request.memory, request.memory_size);
  }
  jpeg_read_header(&cinfo, TRUE);
  if (!IsSaneImageSize(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  *full_width = cinfo.image_width;
  *full_height = cinfo.image_height;
  if (request.min_width > 0 && request.min_width < cinfo.image_width) {
    // Eighths: the smallest numerator whose output is still wide enough.
    unsigned num = 1;
    while (num < 8 &&
           (static_cast<std::uint64_t>(cinfo.image_width) * num + 7) / 8 < request.min_width) {
      ++num;
    }
    cinfo.scale_num = num;
    cinfo.scale_denom = 8;
  }
  jpeg_start_decompress(&cinfo);
  int components = cinfo.output_components;
  bool cmyk = components == 4 && cinfo.out_color_space == JCS_CMYK;
  if (components != 1 && components != 3 && !cmyk) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (!IsSaneImageSize(cinfo.output_width, cinfo.output_height)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  out->width = cinfo.output_width;
  out->height = cinfo.output_height;
  try {
    out->pixels.resize(out->row_bytes() * out->height);
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * components, 1);
  bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    jpeg_read_scanlines(&cinfo, row, 1);
    std::uint8_t* target = out->pixels.data() + (cinfo.output_scanline - 1) * out->row_bytes();
    const JSAMPLE* source = row[0];
    if (components == 3) {
      std::memcpy(target, source, out->row_bytes());
    } else if (components == 1) {
      for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
        target[x * 3] = target[x * 3 + 1] = target[x * 3 + 2] = source[x];
      }
    } else {
      CmykRowToRgb(source, target, cinfo.output_width, inverted);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

std::optional<RgbImage> DecodeFile(const std::string& path, std::uint32_t min_width,
                                   std::uint32_t* full_width, std::uint32_t* full_height) {
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  auto image = std::make_unique<RgbImage>();
  DecodeRequest request;
  request.file = file.get();
  request.min_width = min_width;
  bool ok = false;
  try {
    ok = Decode(request, image.get(), full_width, full_height);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  file.reset();
  if (!ok) return std::nullopt;
  return std::move(*image);
}

}  // namespace

std::optional<RgbImage> ReadJpegRgb(const std::string& path) {
  std::uint32_t w = 0, h = 0;
  return DecodeFile(path, 0, &w, &h);
}

std::optional<RgbImage> ReadJpegRgbFromMemory(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  auto image = std::make_unique<RgbImage>();
  DecodeRequest request;
  request.memory = reinterpret_cast<const unsigned char*>(bytes.data());
  request.memory_size = bytes.size();
  std::uint32_t w = 0, h = 0;
  bool ok = false;
  try {
    ok = Decode(request, image.get(), &w, &h);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) return std::nullopt;
  return std::move(*image);
}

std::optional<ReducedJpeg> ReadJpegRgbReduced(const std::string& path, std::uint32_t min_width) {
  ReducedJpeg reduced;
  auto image = DecodeFile(path, min_width, &reduced.full_width, &reduced.full_height);
  if (!image) return std::nullopt;
  reduced.image = std::move(*image);
  return reduced;
}

namespace {

// Compresses into a libjpeg-owned memory block; *block must be freed by the
// caller (also after a failure). Plain C state only between setjmp and longjmp.
bool Encode(const RgbImage& image, const std::uint8_t* grey, int quality, unsigned char** block,
            unsigned long* block_size) {
  jpeg_compress_struct cinfo;
  JumpingErrorManager errors;
  cinfo.err = &errors.base;
  InstallErrorManager(&errors);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, block, block_size);
  cinfo.image_width = image.width;
  cinfo.image_height = image.height;
  cinfo.input_components = grey != nullptr ? 1 : 3;
  cinfo.in_color_space = grey != nullptr ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::size_t row_bytes = grey != nullptr ? image.width : image.row_bytes();
  const std::uint8_t* rows = grey != nullptr ? grey : image.pixels.data();
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows + cinfo.next_scanline * row_bytes);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::optional<std::string> EncodeJpegRgb(const RgbImage& image, bool colour, int quality) {
  if (image.width == 0 || image.height == 0 ||
      image.pixels.size() < image.row_bytes() * image.height) {
    return std::nullopt;
  }
  std::unique_ptr<std::uint8_t[]> grey;
  if (!colour) {
    std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    grey.reset(new (std::nothrow) std::uint8_t[count]);
    if (!grey) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t* p = image.pixels.data() + i * 3;
      grey[i] = static_cast<std::uint8_t>(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
    }
  }
  unsigned char* block = nullptr;
  unsigned long block_size = 0;
  bool ok = Encode(image, grey.get(), quality, &block, &block_size);
  std::optional<std::string> bytes;
  if (ok && block != nullptr) bytes.emplace(reinterpret_cast<const char*>(block), block_size);
  std::free(block);
  return bytes;
}

bool WriteJpegRgb(const std::string& path, const RgbImage& image, bool colour, int quality) {
  auto bytes = EncodeJpegRgb(image, colour, quality);
  return bytes && platform::WriteFileAtomically(path, *bytes);
}

}  // namespace marovine
