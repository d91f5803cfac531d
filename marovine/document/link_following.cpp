// How a crawl grows: the links of a fetched page become download items, and a
// link-site search turns the other sites it finds into new link items.

#include <cstdio>
#include <unordered_set>

#include "marovine/document/crawl_rules.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/link_extraction_request.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/site_link_log.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/page_flag.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/site_log_paths.h"
#include "marovine/engine/url_rules.h"
#include "platform/path.h"

namespace marovine {

namespace {

constexpr int kProgressPane = 1;

std::string_view LastSegment(std::string_view url) {
  auto slash = url.rfind('/');
  return slash == std::string_view::npos ? url : url.substr(slash + 1);
}

std::string CheckingText(int n) {
  return "Check " + std::to_string(n) + " links..Please Wait.....";
}

std::string CheckedText(int n) { return "Check " + std::to_string(n) + " links..done...."; }

}  // namespace

bool CrawlScheduler::FollowLinks(int a, CPageParser& parser, int owner) {
  TransferSlot& slot = slots_[a];
  const int i = slot.item_index;
  const bool not_modified = slot.status == TS_NOT_MODIFIED;
  const int page_limit = owner >= 0 ? doc_.link_items[owner].page_limit : 0;
  bool adding = true;
  int seen = 0;
  // Every found link is looked up in the download list, through a set of
  // its URLs: a page of many links on a long list stays quick, and so does a
  // site of many pages.
  IndexListedUrls();
  if (doc_.ui_ != nullptr) doc_.ui_->SetWaitCursor(true);
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    ++seen;
    if (listed_urls_.count(link) != 0 && !ContainsText(link, kFreeHostDomainWord)) continue;
    if (!not_modified && IsPageByUrl(link, doc_.settings.page_extensions)) {
      ++page_counter_;
      if (page_limit != 0 && page_limit < page_counter_) adding = false;
    }
    // A page that only wraps a file of the same name (a picture shown on a
    // page of its own): the slot fetches the file in its place. A folder's
    // page has no name to share: its links to "../" or "/" are other folders.
    if (slot.RetryCount <= doc_.settings.retry_limit &&
        doc_.download_items[i].kind != KIND_WHOLE_SITE &&
        doc_.settings.refetch_relative_address != 0 && !LastSegment(slot.url).empty() &&
        LastSegment(slot.url) == LastSegment(link)) {
      (void)platform::RemoveFile(slot.local_path);  // fetched again under the same name
      DownloadItem& item = doc_.download_items[i];
      item.referer = slot.url;
      slot.referer = slot.url;
      slot.url = link;
      SetDownloadImage(IMAGE_RUNNING, i);
      item.start_page = 1;
      item.state = DS_RUNNING;
      ++slot.RetryCount;
      slot.local_path = item.local_path;
      // The date the page came with says nothing about the file: kept, it
      // would make the file look unchanged and never arrive.
      slot.last_modified.clear();
      RestartInPlace(a);
      if (doc_.ui_ != nullptr) doc_.ui_->SetWaitCursor(false);
      return true;
    }
    if (adding) {
      if (std::string word = doc_.MatchedIgnoreWord(link); !word.empty()) {
        if (doc_.ui_ != nullptr) doc_.ui_->NoteIgnoredLink(link, word);
      } else {
        AppendFoundLink(a, link, owner, adding);
        IndexListedUrls();
      }
    }
    SetStatusPane(kProgressPane, CheckingText(seen));
  }
  if (seen > 0) SetStatusPane(kProgressPane, CheckedText(seen));
  if (doc_.ui_ != nullptr) doc_.ui_->SetWaitCursor(false);
  return false;
}

void CrawlScheduler::IndexListedUrls() {
  const auto& items = doc_.download_items;
  // A list changed other than by appending (replaced whole, say) is indexed
  // anew.
  if (listed_count_ > items.size() ||
      (listed_count_ > 0 && items[listed_count_ - 1].url != listed_last_url_)) {
    listed_urls_.clear();
    listed_count_ = 0;
  }
  if (listed_count_ == items.size()) return;
  for (; listed_count_ < items.size(); ++listed_count_)
    listed_urls_.insert(items[listed_count_].url);
  listed_last_url_ = items.back().url;
}

void CrawlScheduler::AppendFoundLink(int a, const std::string& url, int owner, bool& adding) {
  const TransferSlot& slot = slots_[a];
  const DownloadItem& parent = doc_.download_items[slot.item_index];
  DownloadItem item;
  item.url = url;
  item.referer = slot.url;
  item.state = DS_WAITING;
  item.site_url = parent.site_url;
  item.start_page = 0;
  // A page without a site (a direct download) gives its files to the
  // direct-download folder rather than to a folder relative to nowhere.
  std::string folder = owner >= 0 ? doc_.link_items[owner].folder : doc_.settings.direct_folder;
  folder = platform::WithTrailingSeparator(folder);
  if (parent.kind == KIND_CRAWL) {
    bool numbered = doc_.settings.put_random_number != 0 &&
                    doc_.settings.make_address_folder == 0 &&
                    doc_.settings.make_title_folder == 0 && owner >= 0;
    item.local_path = doc_.UnreservedLocalPath(
        folder + CrawlFileName(url, numbered ? doc_.link_items[owner].random_number : -1));
    item.kind = KIND_CRAWL;
  } else if (parent.kind == KIND_WHOLE_SITE) {
    item.local_path = WholeSiteLocalPath(folder, parent.site_url, url);
    item.kind = KIND_WHOLE_SITE;
    // A mirror has one file per path: a second address of it ("./" beside
    // "index.html", a same-named file of another server) is the same item.
    if (doc_.LocalPathHeld(item.local_path)) return;
  } else {
    item.local_path = doc_.UnreservedLocalPath(folder + SanitizeNameComponent(UrlFileName(url)));
    item.kind = KIND_DIRECT;
  }
  // A full list takes nothing more from this page (the status bar says so).
  if (doc_.AppendDownloadItem(std::move(item)) < 0) adding = false;
}

void CrawlScheduler::SearchLinkSites(int a, int owner) {
  const std::string owner_url = doc_.link_items[owner].url;
  const std::string saved_folder = doc_.settings.crawl_folder;
  // The sites found are registered as crawl-mode links below this site's
  // folder.
  doc_.settings.crawl_folder = doc_.link_items[owner].folder;
  const bool list_once = DontListFromLinkSite(doc_.profile);

  const TransferSlot& slot = slots_[a];
  FetchedPage fetched{slot.local_path, slot.url, doc_.download_items[slot.item_index].site_url,
                      slot.charset};
  CPageParser parser;
  PrepareLinkExtraction(parser, fetched, &doc_.link_items[owner], doc_.settings, doc_.profile);
  parser.scope = 0;
  parser.download_extensions = kNoDownloadExtensions;
  ExtractLinks(a, parser, &PageReading::link_sites);

  const std::string own_folder = UrlFolderOf(owner_url);
  const std::string link_log = SiteLinkLogPath(doc_.paths.log_folder, owner_url);
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    if (doc_.HasDownload(link) || link.find(own_folder) != std::string::npos) continue;
    bool first_time = AppendSiteLinkLog(link_log, link);
    if (first_time || !list_once) doc_.RegisterUrlAs(link, kRegisterCrawl);
  }
  (void)platform::RemoveFile(slot.local_path);  // a search page kept by mistake is harmless
  doc_.settings.crawl_folder = saved_folder;
}

}  // namespace marovine
