#include "platform/file_exception.h"

#include <cerrno>

namespace platform {

FileExceptionCause FileExceptionCauseFromErrno(int error_number) {
  switch (error_number) {
    case 0:
      return kFileNone;
    case ENOENT:
      return kFileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case EINVAL:
      return kFileBadPath;
    case EMFILE:
    case ENFILE:
      return kFileTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
      return kFileAccessDenied;
    case EBADF:
      return kFileInvalidFile;
    case EBUSY:
    case ETXTBSY:
      return kFileSharingViolation;
    case EDEADLK:
    case ENOLCK:
      return kFileLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kFileDiskFull;
    case ESPIPE:
    case EOVERFLOW:
      return kFileBadSeek;
    case EIO:
      return kFileHardIO;
    default:
      return kFileGeneric;
  }
}

std::string FileExceptionText(int cause) {
  switch (cause) {
    case 0:
      return "エラーなし";
    case 1:
      return "未定義エラー";
    case 3:
      return "不正パス";
    case 4:
      return "オープン ファイル数超過";
    case 5:
      return "ファイル アクセス禁止";
    case 6:
      return "不正ファイル ハンドル使用";
    case 7:
      return "作業中のカレント ディレクトリの削除不可";
    case 8:
      return "ディレクトリ フル";
    case 9:
      return "ファイル ポインタ設定エラー";
    case 10:
      return "ハードウェア エラー";
    case 11:
      return "SHARE.EXE 未ロードまたは共有領域ロック済み";
    case 12:
      return "ロック済み領域のロック要求";
    case 13:
      return "ディスク フル";
    case 14:
      return "ファイルの終わりに到達";
    default:
      return "予期しないエラー";
  }
}

}  // namespace platform
