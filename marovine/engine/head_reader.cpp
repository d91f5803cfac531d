#include "marovine/engine/head_reader.h"

#include <algorithm>

namespace marovine {

HeadReader::State HeadReader::Feed(std::string_view bytes) {
  if (state_ != State::kNeedMore) return state_;
  constexpr std::string_view kEnd = "\r\n\r\n";
  const std::size_t before = buffer_.size();
  // Where the head ends in the new bytes (just after CR LF CR LF). The
  // terminator may straddle the previous read, so the seam is looked at
  // first; only the head's bytes are kept, the body is passed on as it came.
  std::size_t end_in_bytes = std::string_view::npos;
  if (before > 0) {
    const std::size_t kept = std::min<std::size_t>(before, 3);
    std::string seam = buffer_.substr(before - kept);
    seam.append(bytes.substr(0, 3));
    if (auto at = seam.find(kEnd); at != std::string::npos) end_in_bytes = at + 4 - kept;
  }
  if (end_in_bytes == std::string_view::npos) {
    if (auto at = bytes.find(kEnd); at != std::string_view::npos) end_in_bytes = at + 4;
  }
  if (end_in_bytes != std::string_view::npos && before + end_in_bytes - 4 <= kMaxHeadBytes) {
    buffer_.append(bytes.substr(0, end_in_bytes));
    head_end_ = buffer_.size() - 4;
    body_ = bytes.substr(end_in_bytes);
    state_ = State::kComplete;
    return state_;
  }
  buffer_.append(bytes);
  if (buffer_.size() > kMaxHeadBytes + 3) {
    state_ = State::kTooLong;
    buffer_.clear();
    buffer_.shrink_to_fit();
  }
  return state_;
}

std::string_view HeadReader::head() const {
  if (state_ != State::kComplete) return {};
  return std::string_view(buffer_).substr(0, head_end_);
}

std::string_view HeadReader::body() const {
  if (state_ != State::kComplete) return {};
  return body_;
}

}  // namespace marovine
