#pragma once

#include <string>

#include "marovine/album/album_progress.h"
#include "marovine/album/album_settings.h"

namespace marovine {

enum class AlbumRunResult {
  kFinished,    // every listed picture was handed to the album
  kCancelled,   // stopped on request; the album holds the pictures done so far
  kNotStarted,  // the album page or the list could not be opened
  kNotWritten,  // the album's last page or the site's index could not be written
};

// Makes the album of `job` from the pictures listed in `list_path` (`count`
// lines): starts the writer, writes the heading (when not empty) centred in
// size 4, adds every listed picture and finishes the album. A finished or
// cancelled run whose album page cannot be written at the end is not written.
AlbumRunResult RunAlbum(const AlbumJob& job, const std::string& list_path, int count,
                        const std::string& heading_html, AlbumProgress& progress);

}  // namespace marovine
