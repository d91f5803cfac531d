#include "marovine/document/link_album_command.h"

#include "marovine/album/album_commands.h"
#include "marovine/document/marovine_doc.h"

namespace marovine {

AlbumRunResult MakeAlbumsOfSelectedLinks(CMarovineDoc& doc, const std::vector<int>& link_rows,
                                         AlbumProgress& progress) {
  std::vector<AlbumSite> sites;
  for (int row : link_rows) {
    if (row < 0 || row >= static_cast<int>(doc.link_items.size())) continue;
    const LinkItem& link = doc.link_items[row];
    sites.push_back({link.url, link.title, link.folder, link.file_count, link.random_number});
  }
  // The detail logs may still have keys waiting in the crawl's batch.
  doc.crawl().FlushLogWrites();
  return MakeSelectedSiteAlbums(sites, doc.paths.folder, LoadAlbumSettings(doc.profile), progress);
}

}  // namespace marovine
