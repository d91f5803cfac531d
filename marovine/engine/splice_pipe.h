#pragma once

#include <cstddef>

#include "platform/unique_handle.h"

namespace marovine {

// A kernel pipe through which a plain body moves from the socket into its
// file without passing through the program's memory: the socket's pages go
// into the pipe by reference, and only the step into the file copies them.
// One per transfer thread, made on first use. Whatever a failed or abandoned
// move leaves in the pipe is dropped with it, so the next body never starts
// with another's bytes.
class SplicePipe {
 public:
  // Opens the pipe when it is not open; false when no pipe can be made (the
  // body then goes through a buffer as usual).
  bool Ready();
  int write_end() const { return write_.get(); }
  // The most one move may take: what the pipe holds.
  std::size_t capacity() const { return capacity_; }

  // Moves the `count` bytes waiting in the pipe into `file_fd` at its
  // position. A file that does not take spliced data gets them through
  // `buffer` instead. Answers 0, or the errno of the failing write (the pipe
  // is then dropped).
  int DrainTo(int file_fd, std::size_t count, char* buffer, std::size_t buffer_size);
  // Drops whatever the pipe holds.
  void Discard();

 private:
  platform::UniqueFd read_;
  platform::UniqueFd write_;
  std::size_t capacity_ = 0;
};

}  // namespace marovine
