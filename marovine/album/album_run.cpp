#include "marovine/album/album_run.h"

#include <fstream>

#include "marovine/album/album_writer.h"

namespace marovine {

AlbumRunResult RunAlbum(const AlbumJob& job, const std::string& list_path, int count,
                        const std::string& heading_html, AlbumProgress& progress) {
  AlbumWriter writer;
  if (!writer.Start(job)) return AlbumRunResult::kNotStarted;
  if (!heading_html.empty()) writer.Heading(heading_html, 1, 4);
  writer.Table(true);
  std::ifstream list(list_path, std::ios::binary);
  if (!list) {
    writer.Table(false);
    (void)writer.Finish();  // the run has failed already
    return AlbumRunResult::kNotStarted;
  }

  progress.Started(count);
  AlbumRunResult result = AlbumRunResult::kFinished;
  int done = 0;
  std::string line;
  // Whole lines, however long: a deep path must not be split into two.
  while (done <= count && std::getline(list, line)) {
    if (progress.cancel_requested()) {
      result = AlbumRunResult::kCancelled;
      break;
    }
    ++done;
    progress.Advanced(done, count);
    if (!line.empty()) writer.AddPicture(line);
  }
  writer.Table(false);
  if (!writer.Finish()) return AlbumRunResult::kNotWritten;
  return result;
}

}  // namespace marovine
