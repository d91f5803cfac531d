#pragma once

#include <string>

#include "platform/unique_handle.h"

namespace platform {

// Keeps one program per program folder: two processes sharing one would
// overwrite each other's document and settings and delete each other's
// files. An advisory lock on "marovine.lock" in the folder, held while the
// object lives (and so for the life of the process that keeps it); the
// kernel drops it when the process ends in any way, so a crash leaves no
// stale lock behind.
class ProgramFolderLock {
 public:
  enum class State {
    kHeld,         // this process owns the folder
    kInUse,        // another process holds it
    kUnavailable,  // the lock file cannot be made (the folder is not writable)
  };

  // Makes the folder when needed and tries the lock once, without waiting.
  explicit ProgramFolderLock(const std::string& folder);
  ~ProgramFolderLock();
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  State state() const { return state_; }
  // The refusal to show when the state is kInUse, naming the folder.
  std::string InUseMessage() const;

 private:
  std::string folder_;
  UniqueFd fd_;
  State state_ = State::kUnavailable;
};

}  // namespace platform
