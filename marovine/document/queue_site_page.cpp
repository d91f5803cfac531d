// Opening a site: its start page becomes a download item; a whole-site
// mirror also gets its heading page and its history file.

#include "marovine/album/html_text.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/site_history_file.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {

namespace {

// The page that shows the mirror's start page under the mirror's own name.
void WriteHeadingPage(const LinkItem& link) {
  std::string root = link.folder;
  while (root.size() > 1 && root.back() == platform::kPathSeparator) root.pop_back();
  std::string heading = platform::NameOf(root);
  std::string heading_path = root + ".html";
  if (platform::FileExists(heading_path)) return;
  std::string source =
      EscapeLink(heading) + "/" + EscapeLink(SanitizeNameComponent(UrlFileName(link.url)));
  std::string page =
      "<HTML><HEAD><meta http-equiv='Content-Type' content='text/html; charset=UTF-8'><title>" +
      EscapeHtml(heading) +
      "</title></head><frameset rows='100%,*' border='0' frameborder='0' framespacing='0'>"
      "<frame src='" +
      EscapeHtml(source) +
      "' name='easymain' scrolling='auto' marginheight='0' marginwidth='0'></frameset></HTML>\n";
  // The heading page is a convenience beside the mirror, which goes on without it.
  (void)platform::WriteFileAtomically(heading_path, page);
}

}  // namespace

int CrawlScheduler::QueueSitePage(int k) {
  if (k < 0 || k >= static_cast<int>(doc_.link_items.size())) return -1;
  const LinkItem& link = doc_.link_items[k];
  DownloadItem item;
  item.url = link.url;
  item.kind = link.mode == MODE_CRAWL ? KIND_CRAWL : KIND_WHOLE_SITE;
  int owner = doc_.FindLink(link.url);
  item.local_path = platform::WithTrailingSeparator(doc_.link_items[owner].folder) +
                    SanitizeNameComponent(UrlFileName(link.url));
  // A crawl-mode page is named like a file; a mirror's start page keeps the
  // path it mirrors.
  if (item.kind == KIND_CRAWL) item.local_path = doc_.UnreservedLocalPath(item.local_path);
  item.site_url = link.url;
  item.state = DS_WAITING;
  item.start_page = 0;
  int index = doc_.AppendDownloadItem(std::move(item));
  if (index < 0) return -1;
  page_counter_ = 0;

  const LinkItem& site = doc_.link_items[k];
  if (site.mode == MODE_WHOLE_SITE) {
    if (doc_.settings.write_heading_html != 0) WriteHeadingPage(site);
    if (!site.history_path.empty()) {
      std::string root = site.folder;
      while (root.size() > 1 && root.back() == platform::kPathSeparator) root.pop_back();
      // Missing folders make the history file's own write fail, and the site
      // is then fetched as if seen for the first time.
      (void)platform::MakeFoldersForFile(site.history_path);
      CreateSiteHistoryFile(site.history_path, site.url, platform::NameOf(root));
    }
  }
  return index;
}

}  // namespace marovine
