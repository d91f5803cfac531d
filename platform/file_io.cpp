#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/path.h"
#include "platform/unique_handle.h"

namespace platform {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      fd.reset();
      errno = saved;
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  // Everything was read; a failing close of a file only read loses nothing.
  (void)fd.Close();
  return content;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (!MakeFoldersForFile(path)) return false;
  std::string temp = path + ".tmpXXXXXX";
  UniqueFd fd(::mkstemp(temp.data()));
  if (!fd) return false;
  // Keep the permissions an existing file had; a new file gets the usual 0666 & ~umask.
  struct stat st {};
  mode_t mode;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  // A failing fchmod leaves the usual permissions of a new file; the content
  // still arrives whole, which is what matters here.
  (void)::fchmod(fd.get(), mode);
  bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  int saved = errno;
  if (!fd.Close() && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    // The temporary file is ours alone; one left behind is only clutter.
    (void)::unlink(temp.c_str());
    errno = saved;
  }
  return ok;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
  if (!fd) return false;
  bool ok = WriteAll(fd.get(), bytes);
  int saved = errno;
  if (!fd.Close()) ok = false;
  if (!ok) errno = saved;
  return ok;
}

}  // namespace platform
