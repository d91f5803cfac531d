// The response head reader fed in random-sized chunks must give the same
// result as one piece, keep to its cap, and classify any head without harm.
// A chunked body after it must unchunk the same in pieces as in one.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/chunked_body.h"
#include "marovine/engine/head_reader.h"
#include "marovine/engine/response_head.h"

using marovine::HeadReader;

namespace {

// One piece and random pieces give the same data, the same end and the same
// verdict on the framing.
void Unchunk(std::string_view body, unsigned seed) {
  marovine::ChunkedBody one;
  std::string one_out;
  auto append_to = [](std::string& out) {
    return [&out](std::string_view data) {
      out.append(data);
      return true;
    };
  };
  bool one_ok = one.Decode(body, append_to(one_out));

  marovine::ChunkedBody pieces;
  std::string pieces_out;
  bool pieces_ok = true;
  for (std::size_t at = 0; at < body.size() && pieces_ok;) {
    seed = seed * 1103515245u + 12345u;
    std::string_view piece = body.substr(at, 1 + (seed >> 16) % 64);
    at += piece.size();
    pieces_ok = pieces.Decode(piece, append_to(pieces_out));
  }
  if (one_ok != pieces_ok || one.Finished() != pieces.Finished()) std::abort();
  if (one.malformed() != pieces.malformed()) std::abort();
  if (one_out != pieces_out) std::abort();
  if (one_out.size() > body.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte seeds the chunk sizes; the rest is the response.
  unsigned seed = data[0];
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  HeadReader whole;
  whole.Feed(bytes);

  HeadReader chunked;
  std::string body_after;
  std::size_t at = 0;
  while (at < bytes.size()) {
    seed = seed * 1103515245u + 12345u;
    std::size_t chunk = 1 + (seed >> 16) % 64;
    std::string_view piece = bytes.substr(at, chunk);
    at += piece.size();
    if (chunked.state() == HeadReader::State::kComplete) {
      body_after.append(piece);
    } else if (chunked.Feed(piece) == HeadReader::State::kComplete) {
      body_after.assign(chunked.body());
    }
  }
  if (bytes.empty()) chunked.Feed(bytes);

  if (whole.state() != chunked.state()) std::abort();
  if (whole.state() == HeadReader::State::kComplete) {
    if (whole.head() != chunked.head() || whole.body() != body_after) std::abort();
    if (whole.head().size() > HeadReader::kMaxHeadBytes) std::abort();
    marovine::HeadContext context;
    context.minimum_size = 100;
    context.maximum_size = 1000;
    auto verdict = marovine::ParseResponseHead(whole.head(), context);
    if (verdict.expected_size < 0 || verdict.resume_offset < 0) std::abort();
    (void)marovine::BodyEncodingOf(whole.head());
    (void)marovine::UnsatisfiableRangeTotal(whole.head());
    // A kept connection trusts the length it reads: never negative, never
    // beside chunks.
    auto reuse = marovine::ConnectionReuseOf(whole.head());
    if (reuse.body_length && *reuse.body_length < 0) std::abort();
    if (reuse.body_length && *reuse.body_length > 0 &&
        marovine::BodyFramingOf(whole.head()) != marovine::BodyFraming::kUntilClose) {
      std::abort();
    }
    if (marovine::BodyFramingOf(whole.head()) == marovine::BodyFraming::kChunked) {
      Unchunk(whole.body(), seed);
    }
  }
  return 0;
}
