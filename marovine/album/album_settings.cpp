#include "marovine/album/album_settings.h"

#include <string>

namespace marovine {

AlbumSettings LoadAlbumSettings(const platform::Profile& profile) {
  AlbumSettings s;
  s.all_view = profile.GetInt(kAlbumSection, "AllView", 1);
  s.menu_view = profile.GetInt(kAlbumSection, "MenuView", 0);
  s.make_html_link = profile.GetInt(kAlbumSection, "MakeHtmlLink", 1);
  s.dont_make_html_link = profile.GetInt(kAlbumSection, "DontMakeHtmlLink", 0);
  s.make_album_after_download = profile.GetInt(kAlbumSection, "MakeAlbumAfterDownload", 0);
  s.make_thumbnail = profile.GetInt(kAlbumSection, "MakeThumbnail", 1);
  s.thumb_folder = profile.GetString(kAlbumSection, "ThumbFolder", "thumb");
  s.thumb_width = profile.GetInt(kAlbumSection, "ThumbWidth", 100);
  s.columns = profile.GetInt(kAlbumSection, "Colam", 5);
  s.album_file_num = profile.GetInt(kAlbumSection, "AlubumFileNum", 20);
  return s;
}

bool SaveAlbumSettings(platform::Profile& profile, const AlbumSettings& s) {
  auto flag = [](int value) { return std::string(value != 0 ? "1" : "0"); };
  // One rewrite of the file: a crash never leaves half the dialog saved.
  return profile.WriteStrings(kAlbumSection,
                              {{"AllView", flag(s.all_view)},
                               {"MenuView", flag(s.menu_view)},
                               {"MakeHtmlLink", flag(s.make_html_link)},
                               {"DontMakeHtmlLink", flag(s.dont_make_html_link)},
                               {"MakeAlbumAfterDownload", flag(s.make_album_after_download)},
                               {"MakeThumbnail", flag(s.make_thumbnail)},
                               {"ThumbFolder", s.thumb_folder},
                               {"ThumbWidth", std::to_string(s.thumb_width)},
                               {"Colam", std::to_string(s.columns)},
                               {"AlubumFileNum", std::to_string(s.album_file_num)}});
}

AlbumJob MakeAlbumJob(const AlbumSettings& s, std::string album_path) {
  AlbumJob job;
  job.album_path = std::move(album_path);
  if (s.all_view != 0) {
    job.layout = AlbumLayout::kTable;
  } else {
    job.layout = s.menu_view != 0 ? AlbumLayout::kFrames : AlbumLayout::kTable;
  }
  job.make_thumbnails = s.make_thumbnail != 0;
  job.thumbnail_width = s.thumb_width;
  job.thumbnail_folder = s.thumb_folder;
  if (s.dont_make_html_link != 0) {
    job.make_view_pages = false;
  } else {
    job.make_view_pages = s.make_html_link != 0;
  }
  job.columns = s.columns;
  return job;
}

}  // namespace marovine
