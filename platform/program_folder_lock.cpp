#include "platform/program_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path.h"

namespace platform {

ProgramFolderLock::ProgramFolderLock(const std::string& folder) : folder_(folder) {
  if (!MakeFolders(folder)) return;
  std::string path = JoinPath(folder, "marovine.lock");
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  int result;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::kHeld;
  } else {
    state_ = errno == EWOULDBLOCK ? State::kInUse : State::kUnavailable;
    ::close(fd_);
    fd_ = -1;
  }
}

ProgramFolderLock::~ProgramFolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::string ProgramFolderLock::InUseMessage() const {
  return "the program folder " + folder_ +
         " is in use by another marovine or marovine-cli; wait for it to end or choose another "
         "folder with --home";
}

}  // namespace platform
