// When a whole-site search ends, its pages are rewritten once more from the
// originals kept beside them: a link made local whose file never arrived
// (refused, failed, skipped) would be a dead end offline, so it points back
// to its address instead.

#include <unordered_map>

#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/link_extraction_request.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/engine/local_path.h"
#include "marovine/engine/page_rewriter.h"
#include "platform/path.h"

namespace marovine {

void CrawlScheduler::FinishMirroredPages(int link_index) {
  std::vector<MirroredPage> pages;
  pages.swap(mirrored_pages_);
  const LinkItem& link = doc_.link_items[link_index];
  if (link.mode != MODE_WHOLE_SITE) return;
  const std::string folder = link.folder;
  const std::string site_url = link.url;
  // Nothing of the site arrives any more: each address is looked up on disk
  // once, however many pages link it how often.
  std::unordered_map<std::string, bool> arrived;
  for (const MirroredPage& page : pages) {
    if (page.site_url != site_url) continue;
    FetchedPage fetched{page.local_path, page.url, page.site_url, {}};
    RewriteRequest request = WholeSiteRewriteRequest(fetched, doc_.settings);
    request.arrived = [&](const std::string& url) {
      auto [known, added] = arrived.try_emplace(url, false);
      if (added) known->second = platform::FileExists(WholeSiteLocalPath(folder, site_url, url));
      return known->second;
    };
    RewriteSavedPageAgain(request, page.local_path);
  }
}

}  // namespace marovine
