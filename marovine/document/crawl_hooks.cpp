#include "marovine/document/crawl_hooks.h"

#include "marovine/album/album_commands.h"
#include "marovine/document/crawl_control.h"

namespace marovine {

bool CrawlHooks::MakeSiteAlbum(const CrawlControl& crawl, int link_index) {
  return MakeAutomaticAlbumAfterSite(crawl, link_index);
}

bool MakeAutomaticAlbumAfterSite(const CrawlControl& crawl, int link_index) {
  const std::vector<LinkItem>& links = crawl.links();
  if (link_index < 0 || link_index >= static_cast<int>(links.size())) return false;
  const LinkItem& link = links[link_index];
  if (link.state != LS_DONE) return false;
  AlbumSite site;
  site.url = link.url;
  site.title = link.title;
  site.storage_folder = link.folder;
  site.file_count = link.file_count;
  site.random_number = link.random_number;
  // The site's files that arrived, in list order; pages were deleted or are
  // not pictures, and the album passes over what it cannot show.
  std::vector<std::string> finished;
  for (const auto& item : crawl.downloads()) {
    if (item.state == DS_DONE && item.site_url == link.url) finished.push_back(item.local_path);
  }
  AlbumProgress silent;
  AlbumRunResult result =
      MakeAutomaticSiteAlbum(site, finished, LoadAlbumSettings(crawl.settings_file()), silent);
  return result == AlbumRunResult::kFinished || result == AlbumRunResult::kCancelled;
}

}  // namespace marovine
