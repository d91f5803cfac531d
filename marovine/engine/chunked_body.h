#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace marovine {

// Takes the framing off a chunked body (Transfer-Encoding: chunked) while it
// streams in: each chunk's size line, the line end after its data, and the
// trailer lines after the last chunk are dropped; the data goes on. Hostile
// framing — a size that is no hex number or does not fit in 62 bits, a size
// line or trailer that never ends, data that overruns its chunk — makes the
// body malformed instead of reaching the file.
class ChunkedBody {
 public:
  // Longest size line (with chunk extensions) and longest trailer we read.
  static constexpr std::size_t kMaxSizeLineBytes = 4096;
  static constexpr std::size_t kMaxTrailerBytes = 64 * 1024;

  // Answers false to stop.
  using Sink = std::function<bool(std::string_view)>;

  // Hands the data among the next body bytes to `sink`. False when the
  // framing is malformed or the sink stopped. Bytes after the end of the body
  // are ignored.
  bool Decode(std::string_view in, const Sink& sink);

  // The last chunk and its trailer have arrived.
  bool Finished() const { return state_ == State::kDone; }
  bool malformed() const { return state_ == State::kMalformed; }

 private:
  enum class State {
    kSize,       // hex digits of a chunk size
    kSizeTail,   // blanks and extensions after the digits, up to the line end
    kData,       // the chunk's data
    kDataEnd,    // the line end after the data
    kDataEndLf,  // the LF of that line end, after its CR
    kTrailer,    // trailer lines after the last chunk
    kDone,
    kMalformed,
    kSinkStopped,
  };

  bool EndSizeLine();

  State state_ = State::kSize;
  std::uint64_t size_ = 0;
  int digits_ = 0;
  std::size_t line_bytes_ = 0;     // of the size line so far
  bool cr_seen_ = false;           // the size line's CR; only its LF may follow
  bool extension_ = false;         // past the ";" of a chunk extension
  std::uint64_t data_left_ = 0;    // of the current chunk
  std::size_t trailer_bytes_ = 0;  // of the whole trailer so far
  std::size_t trailer_line_ = 0;   // bytes of the current trailer line, CR left out
};

}  // namespace marovine
