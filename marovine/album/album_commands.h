#pragma once

#include <string>
#include <vector>

#include "marovine/album/album_progress.h"
#include "marovine/album/album_run.h"
#include "marovine/album/album_settings.h"

namespace marovine {

// The three ways an album is made: of a folder, of chosen registered sites
// from their detail logs, and automatically for a site whose crawl finished.

inline constexpr const char* kNoSiteSelectedMessage = "リンクリストから項目を選択してください。";
inline constexpr const char* kSiteLogMissingMessage =
    "ログが見つかりません。\nプロパティーの設定を確認してください。\nアルバムを作成できませんでした"
    "。";

// Shown with the path of the album or index that could not be written.
inline constexpr const char* kAlbumNotWrittenMessage = "アルバムを書き込めませんでした。";

// What the album of a site needs to know of its link item.
struct AlbumSite {
  std::string url;
  std::string title;
  std::string storage_folder;  // where the site's files were saved
  int file_count = 0;          // downloaded files
  int random_number = 0;
};

// The album of the pictures directly in `folder` (sorted by name, folders and
// other files passed over): "<folder>/HtmlAlbum.html", headed by the folder's
// path, without an index entry. An album that cannot be written is told to
// the user through `progress` as well as answered.
AlbumRunResult MakeFolderAlbum(const std::string& folder, const AlbumSettings& settings,
                               AlbumProgress& progress, std::string* album_path = nullptr);

// Where a site's album goes: storage folder / thumbnail folder / site name +
// ".html", and its index: storage folder / "AlbumIndex.html".
std::string SiteAlbumPath(const AlbumSettings& settings, const AlbumSite& site);
std::string SiteIndexPath(const AlbumSite& site);
std::string SiteIndexEntry(const AlbumSite& site);
std::string SiteHeading(const AlbumSite& site);

// One album per site from its detail log in the program folder's "Log/",
// taking the sites from the last to the first (the link list hands over its
// selection in list order). A site whose log is missing gets the missing-log
// message and the next one follows; a cancel ends the whole command. No
// sites: the nothing-selected message. An album or index that cannot be
// written gets the not-written message and the next site follows. Answers
// kCancelled when cancelled, else kNotWritten when anything could not be
// written, else the result of the last run.
AlbumRunResult MakeSelectedSiteAlbums(const std::vector<AlbumSite>& sites,
                                      const std::string& program_folder,
                                      const AlbumSettings& settings, AlbumProgress& progress);

// True when a site that has just finished with `file_count` downloads gets its
// album made automatically.
bool ShouldMakeAutomaticAlbum(const AlbumSettings& settings, int file_count);

// The automatic album of a site whose crawl just finished: the index entry
// first, then the album of `finished_paths` (the saved paths of the finished
// download records, in list order). kNotWritten when the index could not be
// written, even though the album was.
AlbumRunResult MakeAutomaticSiteAlbum(const AlbumSite& site,
                                      const std::vector<std::string>& finished_paths,
                                      const AlbumSettings& settings, AlbumProgress& progress);

}  // namespace marovine
