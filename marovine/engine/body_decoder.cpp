#include "marovine/engine/body_decoder.h"

#include <zlib.h>

namespace marovine {

struct BodyDecoder::Stream {
  z_stream z{};
  bool initialised = false;
  ~Stream() {
    if (initialised) inflateEnd(&z);
  }
};

BodyDecoder::BodyDecoder(BodyEncoding encoding) : encoding_(encoding) {}
BodyDecoder::~BodyDecoder() = default;

bool BodyDecoder::Start(std::string_view first_bytes) {
  stream_ = std::make_unique<Stream>();
  int window_bits = 15 + 32;  // gzip or zlib, recognised by their header
  if (encoding_ == BodyEncoding::kDeflate) {
    // "deflate" should be zlib-wrapped, but many servers send raw deflate.
    auto b0 = static_cast<unsigned char>(first_bytes[0]);
    auto b1 = static_cast<unsigned char>(first_bytes[1]);
    bool zlib_header = (b0 & 0x0F) == 8 && ((b0 << 8) | b1) % 31 == 0;
    window_bits = zlib_header ? 15 : -15;
  }
  if (inflateInit2(&stream_->z, window_bits) != Z_OK) return false;
  stream_->initialised = true;
  return true;
}

bool BodyDecoder::Decode(std::string_view in, std::string& out) {
  return Decode(in, [&out](std::string_view piece) {
    out.append(piece);
    return true;
  });
}

bool BodyDecoder::Decode(std::string_view in, const Sink& sink) {
  if (!decoding()) return sink(in);
  if (failed_) return false;
  if (!stream_) {
    pending_.append(in);
    if (pending_.size() < 2) return true;
    if (!Start(pending_)) return failed_ = true, false;
    in = pending_;
  }
  z_stream& z = stream_->z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  unsigned char buffer[65536];
  // Inflate until the input is used up and zlib has nothing more to give for
  // it (output can be pending when the buffer filled exactly).
  for (;;) {
    if (ended_ && z.avail_in > 0) {
      // A gzip body may hold several members one after another.
      if (encoding_ != BodyEncoding::kGzip || inflateReset(&z) != Z_OK) {
        failed_ = true;
        break;
      }
      ended_ = false;
    }
    if (ended_) break;
    z.next_out = buffer;
    z.avail_out = sizeof buffer;
    int r = inflate(&z, Z_NO_FLUSH);
    std::size_t produced = sizeof buffer - z.avail_out;
    if (produced > 0 && !sink(std::string_view(reinterpret_cast<char*>(buffer), produced))) {
      failed_ = true;
      break;
    }
    if (r == Z_STREAM_END) {
      ended_ = true;
      continue;
    }
    if (r == Z_BUF_ERROR || (r == Z_OK && produced == 0 && z.avail_in == 0)) break;
    if (r != Z_OK) {
      failed_ = true;
      break;
    }
    if (z.avail_in == 0 && z.avail_out != 0) break;
  }
  pending_.clear();
  return !failed_;
}

bool BodyDecoder::Finished() const { return !decoding() || (ended_ && !failed_); }

}  // namespace marovine
