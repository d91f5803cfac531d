#pragma once

#include <string>

namespace platform {

// The causes of a failed file operation, numbered as the program's status texts
// expect them.
enum FileExceptionCause : int {
  kFileNone = 0,
  kFileGeneric = 1,
  kFileNotFound = 2,
  kFileBadPath = 3,
  kFileTooManyOpenFiles = 4,
  kFileAccessDenied = 5,
  kFileInvalidFile = 6,
  kFileRemoveCurrentDir = 7,
  kFileDirectoryFull = 8,
  kFileBadSeek = 9,
  kFileHardIO = 10,
  kFileSharingViolation = 11,
  kFileLockViolation = 12,
  kFileDiskFull = 13,
  kFileEndOfFile = 14,
};

// Maps an errno value onto the cause it stands for.
FileExceptionCause FileExceptionCauseFromErrno(int error_number);

// The Japanese text of a cause; unknown causes (file-not-found included) read
// "予期しないエラー".
std::string FileExceptionText(int cause);

}  // namespace platform
