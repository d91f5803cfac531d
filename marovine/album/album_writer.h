#pragma once

#include <set>
#include <string>

#include "marovine/album/album_settings.h"

namespace marovine {

// Writes one album: the album page (a table of thumbnails, or the menu of a
// frame set), and optionally one view page per picture chained by
// "←Preview"/"Next→" links. A view page is written when the next picture
// arrives, since only then is its "Next→" target known; the last one at
// Finish().
//
// The album page is built in memory and replaces the file whole at Start()
// (an empty album) and at Finish(), so an interrupted run never leaves a
// half-written page behind.
class AlbumWriter {
 public:
  // Creates the album's folders and writes the opening pages. False when a
  // page cannot be written; nothing else may be called then.
  bool Start(const AlbumJob& job);

  // One heading paragraph; alignment 0 left, 1 centre, 2 right. `html` is
  // placed as it is.
  void Heading(const std::string& html, int alignment, int size);

  // Opens or closes the thumbnail table (table layout only).
  void Table(bool open);

  // Adds a picture (a JPEG, GIF, BMP or PNG file); other and missing files are
  // skipped. JPEG pictures get a thumbnail unless one exists already.
  void AddPicture(const std::string& path);

  // Writes the last view page and the end of the album page. False when the
  // album page cannot be written: the one written at Start() stays.
  [[nodiscard]] bool Finish();

  int pictures_added() const { return pictures_added_; }

 private:
  void WriteViewPage(const std::string& page, const std::string& picture,
                     const std::string& next_page);
  std::string ViewPagePath(const std::string& picture) const;
  std::string UnusedViewPagePath(const std::string& picture);
  std::string ThumbnailPath(const std::string& picture) const;

  AlbumJob job_;
  std::string page_path_;  // the table page, or the frame layout's menu page
  std::string page_;
  bool started_ = false;
  int column_ = 0;
  int pictures_added_ = 0;
  std::string pending_page_;  // written when the next picture arrives
  std::string pending_picture_;
  std::string previous_page_;
  std::set<std::string> view_pages_;  // given out in this run
};

// The first lines of every page we write; pages declare UTF-8, which is what
// they hold.
inline constexpr const char* kAlbumMarkLine = "<!-- Marovine Album Maker Created-->\n";
inline constexpr const char* kAlbumMetaLine =
    "<HEAD><META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=UTF-8'>\n";

}  // namespace marovine
