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
  fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!fd_) return;
  int result;
  do {
    result = ::flock(fd_.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::kHeld;
  } else {
    state_ = errno == EWOULDBLOCK ? State::kInUse : State::kUnavailable;
    fd_.reset();
  }
}

// Closing the descriptor drops the lock.
ProgramFolderLock::~ProgramFolderLock() = default;

std::string ProgramFolderLock::InUseMessage() const {
  return "the program folder " + folder_ +
         " is in use by another marovine or marovine-cli; wait for it to end or choose another "
         "folder with --home";
}

}  // namespace platform
