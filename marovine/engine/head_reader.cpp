#include "marovine/engine/head_reader.h"

namespace marovine {

HeadReader::State HeadReader::Feed(std::string_view bytes) {
  if (state_ != State::kNeedMore) return state_;
  // The terminator may straddle the previous read, so the search starts three
  // bytes before the new ones.
  std::size_t search_from = buffer_.size() >= 3 ? buffer_.size() - 3 : 0;
  buffer_.append(bytes);
  auto end = buffer_.find("\r\n\r\n", search_from);
  if (end != std::string::npos && end <= kMaxHeadBytes) {
    head_end_ = end;
    state_ = State::kComplete;
  } else if (buffer_.size() > kMaxHeadBytes + 3) {
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
  return std::string_view(buffer_).substr(head_end_ + 4);
}

}  // namespace marovine
