#include "marovine/album/album_list_file.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/path.h"

namespace marovine {

std::unique_ptr<AlbumListFile> AlbumListFile::Create(const std::string& folder) {
  std::string base = folder;
  if (base.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  }
  std::string pattern = platform::JoinPath(base, "marovine-album-XXXXXX");
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(pattern.c_str());
    return nullptr;
  }
  return std::unique_ptr<AlbumListFile>(new AlbumListFile(pattern, file));
}

AlbumListFile::~AlbumListFile() {
  Close();
  ::unlink(path_.c_str());
}

bool AlbumListFile::Add(const std::string& picture_path) {
  if (file_ == nullptr || picture_path.find('\n') != std::string::npos) return false;
  if (std::fprintf(file_, "%s\n", picture_path.c_str()) < 0) return false;
  ++count_;
  return true;
}

bool AlbumListFile::Close() {
  if (file_ == nullptr) return true;
  bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

}  // namespace marovine
