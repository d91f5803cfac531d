#include "marovine/engine/chunked_body.h"

#include <algorithm>

namespace marovine {
namespace {

constexpr std::uint64_t kMaxChunkSize = std::uint64_t{1} << 62;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ChunkedBody::EndSizeLine() {
  if (digits_ == 0) return false;
  if (size_ == 0) {
    state_ = State::kTrailer;
  } else {
    data_left_ = size_;
    state_ = State::kData;
  }
  size_ = 0;
  digits_ = 0;
  line_bytes_ = 0;
  cr_seen_ = false;
  extension_ = false;
  return true;
}

bool ChunkedBody::Decode(std::string_view in, const Sink& sink) {
  std::size_t i = 0;
  while (i < in.size()) {
    switch (state_) {
      case State::kDone:
        return true;
      case State::kMalformed:
      case State::kSinkStopped:
        return false;
      case State::kData: {
        auto take = static_cast<std::size_t>(
            std::min<std::uint64_t>(data_left_, static_cast<std::uint64_t>(in.size() - i)));
        if (!sink(in.substr(i, take))) {
          state_ = State::kSinkStopped;
          return false;
        }
        i += take;
        data_left_ -= take;
        if (data_left_ == 0) state_ = State::kDataEnd;
        continue;
      }
      default:
        break;
    }
    const char c = in[i++];
    switch (state_) {
      case State::kSize:
      case State::kSizeTail:
        if (++line_bytes_ > kMaxSizeLineBytes) {
          state_ = State::kMalformed;
        } else if (c == '\n') {
          if (!EndSizeLine()) state_ = State::kMalformed;
        } else if (cr_seen_) {
          state_ = State::kMalformed;  // a CR inside the line
        } else if (c == '\r') {
          cr_seen_ = true;
        } else if (state_ == State::kSize && HexValue(c) >= 0) {
          if (size_ > (kMaxChunkSize >> 4)) {
            state_ = State::kMalformed;
          } else {
            size_ = (size_ << 4) | static_cast<std::uint64_t>(HexValue(c));
            ++digits_;
          }
        } else if (c == ' ' || c == '\t') {
          if (digits_ > 0) state_ = State::kSizeTail;
        } else if (c == ';' && digits_ > 0) {
          state_ = State::kSizeTail;
          extension_ = true;
        } else if (!extension_) {
          state_ = State::kMalformed;  // no hex number
        }
        break;
      case State::kDataEnd:
        if (c == '\r') {
          state_ = State::kDataEndLf;
        } else if (c == '\n') {
          state_ = State::kSize;
        } else {
          state_ = State::kMalformed;  // the data ran past its announced size
        }
        break;
      case State::kDataEndLf:
        state_ = c == '\n' ? State::kSize : State::kMalformed;
        break;
      case State::kTrailer:
        if (++trailer_bytes_ > kMaxTrailerBytes) {
          state_ = State::kMalformed;
        } else if (c == '\n') {
          if (trailer_line_ == 0) state_ = State::kDone;
          trailer_line_ = 0;
        } else if (c != '\r') {
          ++trailer_line_;
        }
        break;
      default:
        break;
    }
  }
  return state_ != State::kMalformed && state_ != State::kSinkStopped;
}

}  // namespace marovine
