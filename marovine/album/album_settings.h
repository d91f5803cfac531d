#pragma once

#include <string>

#include "platform/profile.h"

namespace marovine {

// The album keys of section "MarovineHTMLAlbum" in "marovine.ini". The key
// spellings ("Colam", "AlubumFileNum") are part of the settings format.
struct AlbumSettings {
  int all_view = 1;                    // "AllView": table layout
  int menu_view = 0;                   // "MenuView": frame layout
  int make_html_link = 1;              // "MakeHtmlLink": view pages
  int dont_make_html_link = 0;         // "DontMakeHtmlLink": link pictures directly
  int make_album_after_download = 0;   // "MakeAlbumAfterDownload"
  int make_thumbnail = 1;              // "MakeThumbnail"
  std::string thumb_folder = "thumb";  // "ThumbFolder"
  int thumb_width = 100;               // "ThumbWidth"
  int columns = 5;                     // "Colam"
  int album_file_num = 20;             // "AlubumFileNum": fewest files for the automatic album
};

inline constexpr const char* kAlbumSection = "MarovineHTMLAlbum";

AlbumSettings LoadAlbumSettings(const platform::Profile& profile);

// Writes every key as the settings dialog does: check boxes and radio buttons
// as "0" or "1", edit fields as their text. False when the file could not be
// written.
bool SaveAlbumSettings(platform::Profile& profile, const AlbumSettings& settings);

enum class AlbumLayout { kTable = 0, kFrames = 1 };

// What one album run needs, taken from the settings when the run starts.
struct AlbumJob {
  std::string album_path;  // the album page to create
  std::string title;       // <TITLE>; the album commands leave it empty
  AlbumLayout layout = AlbumLayout::kTable;
  bool make_thumbnails = true;
  int thumbnail_width = 100;
  std::string thumbnail_folder = "thumb";
  bool make_view_pages = true;
  int columns = 5;
};

AlbumJob MakeAlbumJob(const AlbumSettings& settings, std::string album_path);

}  // namespace marovine
