#include "marovine/album/album_list_file.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine {

std::unique_ptr<AlbumListFile> AlbumListFile::Create(const std::string& folder) {
  std::string base = folder;
  if (base.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  }
  std::string pattern = platform::JoinPath(base, "marovine-album-XXXXXX");
  platform::UniqueFd fd(::mkstemp(pattern.data()));
  if (!fd) return nullptr;
  platform::UniqueFile file(::fdopen(fd.get(), "w"));
  if (!file) {
    fd.reset();
    // Our own empty temporary file; one left behind is only clutter.
    (void)::unlink(pattern.c_str());
    return nullptr;
  }
  (void)fd.release();  // the stream owns the descriptor now
  return std::unique_ptr<AlbumListFile>(new AlbumListFile(pattern, std::move(file)));
}

AlbumListFile::~AlbumListFile() {
  // The list is removed right after, so a failed flush loses nothing.
  (void)Close();
  // Removing our private temporary file can only fail if someone else
  // removed it first.
  (void)::unlink(path_.c_str());
}

bool AlbumListFile::Add(const std::string& picture_path) {
  if (!file_ || picture_path.find('\n') != std::string::npos) return false;
  if (std::fprintf(file_.get(), "%s\n", picture_path.c_str()) < 0) return false;
  ++count_;
  return true;
}

bool AlbumListFile::Close() { return file_.Close(); }

}  // namespace marovine
