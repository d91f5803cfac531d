// The response head reader fed in random-sized chunks must give the same
// result as one piece, keep to its cap, and classify any head without harm.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/head_reader.h"
#include "marovine/engine/response_head.h"

using marovine::HeadReader;

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
  }
  return 0;
}
