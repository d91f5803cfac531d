#include "marovine/engine/splice_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/file_io.h"

namespace marovine {
namespace {

// As much as one buffered read takes, so that progress moves in steps of the
// same size either way.
constexpr int kWantedCapacity = 256 * 1024;

}  // namespace

bool SplicePipe::Ready() {
  if (read_.valid()) return true;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  read_.reset(ends[0]);
  write_.reset(ends[1]);
  // A smaller pipe (the system's limit may forbid the larger one) works too,
  // in smaller steps.
  int size = ::fcntl(write_.get(), F_SETPIPE_SZ, kWantedCapacity);
  if (size < 0) size = ::fcntl(write_.get(), F_GETPIPE_SZ);
  if (size <= 0) {
    Discard();
    return false;
  }
  capacity_ = static_cast<std::size_t>(size);
  return true;
}

void SplicePipe::Discard() {
  read_.reset();
  write_.reset();
  capacity_ = 0;
}

int SplicePipe::DrainTo(int file_fd, std::size_t count, char* buffer, std::size_t buffer_size) {
  bool spliced = true;
  while (count > 0) {
    ssize_t n = -1;
    if (spliced) {
      n = ::splice(read_.get(), nullptr, file_fd, nullptr, count, SPLICE_F_MOVE);
      if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
        // The file's system takes no spliced data: read the pipe out instead.
        spliced = false;
        continue;
      }
    } else {
      n = ::read(read_.get(), buffer, count < buffer_size ? count : buffer_size);
      if (n > 0) {
        if (!platform::WriteAll(file_fd, std::string_view(buffer, static_cast<std::size_t>(n)))) {
          int error = errno;
          Discard();
          return error;
        }
      }
    }
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // The bytes were in the pipe: a failure here is the file's.
      int error = n < 0 ? errno : EIO;
      Discard();
      return error;
    }
    count -= static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace marovine
