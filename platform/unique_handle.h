#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace platform {

// Owns one operating-system handle and closes it when it goes out of scope,
// on every way out. Move-only: exactly one owner closes a handle. Where the
// result of closing matters (a file written, whose last bytes may fail at
// close), call Close() and look at its answer; the destructor closes silently.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { (void)Close(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool valid() const { return handle_ != Traits::kInvalid; }
  explicit operator bool() const { return valid(); }

  // Gives the handle up without closing it; the caller owns it now.
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::kInvalid); }

  // Closes the handle held (if any) and takes the new one. A close failure
  // here is not reported: use Close() first where it matters.
  void reset(Handle handle = Traits::kInvalid) {
    (void)Close();
    handle_ = handle;
  }

  // Closes now and answers whether the close succeeded (true when nothing
  // was held). The handle is given up either way: retrying a failed close
  // could close a number another thread has been handed since.
  [[nodiscard]] bool Close() {
    Handle handle = std::exchange(handle_, Traits::kInvalid);
    if (handle == Traits::kInvalid) return true;
    return Traits::Close(handle);
  }

 private:
  Handle handle_ = Traits::kInvalid;
};

struct FdTraits {
  using Handle = int;
  static constexpr int kInvalid = -1;
  static bool Close(int fd) { return ::close(fd) == 0; }
};

struct FileTraits {
  using Handle = std::FILE*;
  static constexpr std::FILE* kInvalid = nullptr;
  static bool Close(std::FILE* file) { return std::fclose(file) == 0; }
};

struct DirTraits {
  using Handle = DIR*;
  static constexpr DIR* kInvalid = nullptr;
  static bool Close(DIR* dir) { return ::closedir(dir) == 0; }
};

// A file descriptor (open, mkstemp, socket).
using UniqueFd = UniqueHandle<FdTraits>;
// A stdio stream (fopen, fdopen).
using UniqueFile = UniqueHandle<FileTraits>;
// A folder listing (opendir).
using UniqueDir = UniqueHandle<DirTraits>;

}  // namespace platform
