#include "marovine/album/album_commands.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

#include "marovine/album/album_index.h"
#include "marovine/album/album_list_file.h"
#include "marovine/album/html_text.h"
#include "marovine/album/site_detail_log.h"
#include "marovine/engine/work_items.h"
#include "platform/path.h"
#include "platform/unique_handle.h"

namespace marovine {
namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  platform::UniqueDir dir(::opendir(folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(std::move(name));
  }
  dir.reset();
  // readdir's order is the file system's; an album is read in name order.
  std::sort(names.begin(), names.end());
  return names;
}

AlbumRunResult RunFromPaths(const AlbumJob& job, const std::vector<std::string>& paths,
                            const std::string& heading, AlbumProgress& progress) {
  auto list = AlbumListFile::Create();
  if (!list) return AlbumRunResult::kNotStarted;
  for (const auto& path : paths) list->Add(path);
  if (!list->Close()) return AlbumRunResult::kNotStarted;
  return RunAlbum(job, list->path(), list->count(), heading, progress);
}

// An album whose index entry could not be written is not what was asked for,
// however well its own pages were written.
AlbumRunResult WithIndex(AlbumRunResult album, bool index_written) {
  if (album == AlbumRunResult::kFinished && !index_written) return AlbumRunResult::kNotWritten;
  return album;
}

void TellNotWritten(AlbumProgress& progress, const std::string& path) {
  progress.ShowMessage(std::string(kAlbumNotWrittenMessage) + "\n" + path);
}

}  // namespace

AlbumRunResult MakeFolderAlbum(const std::string& folder, const AlbumSettings& settings,
                               AlbumProgress& progress, std::string* album_path) {
  std::string base = folder;
  while (base.size() > 1 && base.back() == platform::kPathSeparator) base.pop_back();
  if (!platform::IsFolder(base)) return AlbumRunResult::kNotStarted;
  std::vector<std::string> paths;
  for (const auto& name : FolderEntries(base)) paths.push_back(platform::JoinPath(base, name));
  AlbumJob job = MakeAlbumJob(settings, platform::JoinPath(base, "HtmlAlbum.html"));
  if (album_path != nullptr) *album_path = job.album_path;
  std::string heading = "<strong> " + EscapeHtml(base) + " <strong>";
  AlbumRunResult result = RunFromPaths(job, paths, heading, progress);
  if (result == AlbumRunResult::kNotStarted || result == AlbumRunResult::kNotWritten) {
    TellNotWritten(progress, job.album_path);
  }
  return result;
}

std::string SiteAlbumPath(const AlbumSettings& settings, const AlbumSite& site) {
  std::string folder = platform::JoinPath(site.storage_folder, settings.thumb_folder);
  return platform::JoinPath(folder, SiteLogName(site.url) + ".html");
}

std::string SiteIndexPath(const AlbumSite& site) {
  return platform::JoinPath(site.storage_folder, "AlbumIndex.html");
}

std::string SiteIndexEntry(const AlbumSite& site) {
  return "<strong> Title : </strong> " + EscapeHtml(site.title) + " <strong>Url : </strong> " +
         EscapeHtml(site.url) + " <strong>File : </strong> " + std::to_string(site.file_count) +
         " RandomNum : " + std::to_string(site.random_number) + "<BR>";
}

std::string SiteHeading(const AlbumSite& site) {
  return "<A href='" + EscapeHtml(site.url) + "' target=_blank>" +
         (site.title.empty() ? std::string(kUntitledText) : EscapeHtml(site.title));
}

AlbumRunResult MakeSelectedSiteAlbums(const std::vector<AlbumSite>& sites,
                                      const std::string& program_folder,
                                      const AlbumSettings& settings, AlbumProgress& progress) {
  if (sites.empty()) {
    progress.ShowMessage(kNoSiteSelectedMessage);
    return AlbumRunResult::kNotStarted;
  }
  AlbumRunResult result = AlbumRunResult::kNotStarted;
  bool all_written = true;
  for (auto site = sites.rbegin(); site != sites.rend(); ++site) {
    auto records =
        ReadSiteDetailLog(SiteDetailLogPath(platform::JoinPath(program_folder, "Log/"), site->url));
    if (!records) {
      progress.ShowMessage(kSiteLogMissingMessage);
      continue;
    }
    std::string album_path = SiteAlbumPath(settings, *site);
    const std::string index_path = SiteIndexPath(*site);
    const bool indexed = UpdateAlbumIndex(index_path, SiteIndexEntry(*site), album_path);
    if (!indexed) TellNotWritten(progress, index_path);
    result = RunFromPaths(MakeAlbumJob(settings, album_path), FinishedFilePaths(*records),
                          SiteHeading(*site), progress);
    if (result == AlbumRunResult::kCancelled) return result;
    if (result == AlbumRunResult::kNotStarted || result == AlbumRunResult::kNotWritten) {
      TellNotWritten(progress, album_path);
    }
    all_written = all_written && indexed && result == AlbumRunResult::kFinished;
  }
  return all_written ? result : AlbumRunResult::kNotWritten;
}

bool ShouldMakeAutomaticAlbum(const AlbumSettings& settings, int file_count) {
  return settings.make_album_after_download != 0 && file_count >= settings.album_file_num;
}

AlbumRunResult MakeAutomaticSiteAlbum(const AlbumSite& site,
                                      const std::vector<std::string>& finished_paths,
                                      const AlbumSettings& settings, AlbumProgress& progress) {
  std::string album_path = SiteAlbumPath(settings, site);
  const bool indexed = UpdateAlbumIndex(SiteIndexPath(site), SiteIndexEntry(site), album_path);
  return WithIndex(
      RunFromPaths(MakeAlbumJob(settings, album_path), finished_paths, SiteHeading(site), progress),
      indexed);
}

}  // namespace marovine
