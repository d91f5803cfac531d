#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marovine {

// Collects the bytes of a response until the end of its head (CR LF CR LF),
// which may arrive split over any number of reads. A head longer than the cap
// is refused instead of growing without bound.
class HeadReader {
 public:
  static constexpr std::size_t kMaxHeadBytes = 64 * 1024;

  enum class State { kNeedMore, kComplete, kTooLong };

  // Takes the next bytes. On kComplete, head() is the text before CR LF CR LF
  // and body() the bytes that followed it in the read that completed it: a
  // view of the bytes given to Feed (not copied), valid as long as they are.
  State Feed(std::string_view bytes);

  State state() const { return state_; }
  std::string_view head() const;
  std::string_view body() const;

 private:
  std::string buffer_;  // the head's bytes so far
  std::size_t head_end_ = 0;
  std::string_view body_;
  State state_ = State::kNeedMore;
};

}  // namespace marovine
