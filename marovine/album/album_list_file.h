#pragma once

#include <memory>
#include <string>

#include "platform/unique_handle.h"

namespace marovine {

// The list of picture paths an album run works through, one full path per
// line. It is a private temporary file (created with mkstemp, so concurrent
// runs never share it and nothing planted at a fixed name can redirect the
// write), removed again when the object goes away.
class AlbumListFile {
 public:
  // Creates the file in `folder` (default: $TMPDIR, else /tmp). Nothing when
  // it cannot be created.
  static std::unique_ptr<AlbumListFile> Create(const std::string& folder = "");
  ~AlbumListFile();
  AlbumListFile(const AlbumListFile&) = delete;
  AlbumListFile& operator=(const AlbumListFile&) = delete;

  // Appends one path. Paths holding a line break cannot be listed and are
  // left out (answering false), as are writes that fail.
  bool Add(const std::string& picture_path);
  // Flushes what was added; the file is then ready for the run to read.
  [[nodiscard]] bool Close();

  const std::string& path() const { return path_; }
  int count() const { return count_; }

 private:
  AlbumListFile(std::string path, platform::UniqueFile file)
      : path_(std::move(path)), file_(std::move(file)) {}

  std::string path_;
  platform::UniqueFile file_;
  int count_ = 0;
};

}  // namespace marovine
