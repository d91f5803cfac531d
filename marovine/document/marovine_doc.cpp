#include "marovine/document/marovine_doc.h"

#include <chrono>

#include "marovine/document/document_file.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/link_list_view.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/settings_loader.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/day_number.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/site_log_paths.h"
#include "marovine/engine/url_rules.h"
#include "platform/path.h"

namespace marovine {

namespace {

constexpr const char* kDownloadListFull =
    "ダウンロードリストが一杯です（10000件）。これ以上追加できません。";

}  // namespace

CMarovineDoc::CMarovineDoc(const std::string& program_folder, const std::string& storage)
    : paths(ProgramPathsFor(program_folder)),
      profile(paths.settings_path),
      storage_folder(storage),
      document_path(paths.default_document_path),
      random_(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count() &
                                    0x7fffffff)),
      crawl_(*this) {
  settings = LoadInitialSettings(profile, storage_folder, worker_settings);
  proxy_settings = ReadProxySettings(profile);
  crawl_.SetWorkerSettings(worker_settings);
}

CMarovineDoc::~CMarovineDoc() = default;

void CMarovineDoc::LoadSettings() {
  SettingsLoader(profile, storage_folder, settings, worker_settings);
  proxy_settings = ReadProxySettings(profile);
  crawl_.SetWorkerSettings(worker_settings);
}

int CMarovineDoc::NextRandomNumber() {
  // The numbers the original run-time's rand() / 16 gave: 0..2047.
  return static_cast<int>(random_() % 32768) / 16;
}

int CMarovineDoc::IgnoreWordFilter(const std::string& url) const {
  return MatchedIgnoreWord(url).empty() ? 1 : 0;
}

std::string CMarovineDoc::MatchedIgnoreWord(const std::string& url) const {
  std::string_view words = settings.ignore_words;
  std::size_t from = 0;
  while (from <= words.size()) {
    auto blank = words.find(' ', from);
    if (blank == std::string_view::npos) blank = words.size();
    std::string_view word = words.substr(from, blank - from);
    if (!word.empty() && url.find(word) != std::string::npos) return std::string(word);
    from = blank + 1;
  }
  return {};
}

std::string CMarovineDoc::NewLinkFolder(const std::string& url) const {
  CrawlFolderOptions options{settings.crawl_folder, settings.make_address_folder != 0,
                             settings.make_date_folder != 0};
  return MakeCrawlSiteFolder(options, url, clock());
}

int CMarovineDoc::FindLink(const std::string& url) const {
  for (std::size_t i = 0; i < link_items.size(); ++i) {
    if (link_items[i].url == url) return static_cast<int>(i);
  }
  return -1;
}

bool CMarovineDoc::HasDownload(const std::string& url) const {
  for (const auto& item : download_items) {
    if (item.url == url) return true;
  }
  return false;
}

void CMarovineDoc::SetStatusText(const std::string& text) {
  if (ui_ != nullptr) ui_->SetStatusText(0, text);
}

int CMarovineDoc::AppendDownloadItem(DownloadItem item) {
  if (download_items.size() >= static_cast<std::size_t>(kMaxDownloadRows) ||
      (download_view_ != nullptr && download_view_->RowCount() >= kMaxDownloadRows)) {
    SetStatusText(kDownloadListFull);
    return -1;
  }
  if (download_view_ != nullptr) download_view_->AppendRow(item.url);
  reserved_names_.Add(item.local_path);
  download_items.push_back(std::move(item));
  return static_cast<int>(download_items.size()) - 1;
}

std::string CMarovineDoc::UnreservedLocalPath(const std::string& path) {
  return reserved_names_.FreeName(path, std::string(), false);
}

void CMarovineDoc::SetItemLocalPath(int index, std::string path) {
  DownloadItem& item = download_items[index];
  if (item.local_path == path) return;
  reserved_names_.Remove(item.local_path);
  reserved_names_.Add(path);
  item.local_path = std::move(path);
}

void CMarovineDoc::Broadcast(ViewHint& hint) {
  for (auto* view : link_views_) view->OnHint(hint);
}

void CMarovineDoc::SetLinkRowImage(int index) {
  ViewHint hint;
  hint.code = HINT_SET_IMAGE;
  hint.row_b = index;
  hint.value_a = LinkStateImage(link_items[index].state);
  hint.image_group = static_cast<std::int8_t>(LinkImageGroup(link_items[index]));
  Broadcast(hint);
}

void CMarovineDoc::SetLinkRowCount(int index) {
  ViewHint hint;
  hint.code = HINT_SET_COUNT;
  hint.row_b = index;
  hint.value_a = link_items[index].file_count;
  Broadcast(hint);
}

int CMarovineDoc::AppendLinkItem(LinkItem item) {
  ViewHint hint;
  hint.code = HINT_APPEND_ROW;
  hint.text1 = item.url;
  hint.text2 = item.folder;
  Broadcast(hint);
  // The list decides the index: a view that answered otherwise would be out
  // of step, and the list is what the crawl works on.
  link_items.push_back(std::move(item));
  int index = static_cast<int>(link_items.size()) - 1;
  SetLinkRowImage(index);
  SetLinkRowCount(index);
  return index;
}

LinkItem CMarovineDoc::NewCrawlLinkItem(const std::string& url) {
  LinkItem item;
  item.url = url;
  item.folder = NewLinkFolder(url);
  item.mode = MODE_CRAWL;
  item.random_number = NextRandomNumber();
  item.group = settings.default_group;
  item.search_level = settings.default_search_level;
  item.page_limit = settings.default_page_limit;
  return item;
}

LinkItem CMarovineDoc::NewWholeSiteLinkItem(const std::string& url, const std::string& folder) {
  LinkItem item;
  item.url = url;
  item.folder = platform::WithTrailingSeparator(folder);
  item.mode = MODE_WHOLE_SITE;
  item.group = kWholeSiteGroup;
  item.search_level = kWholeSiteSearchLevel;
  item.page_limit = settings.default_page_limit;
  item.history_path = item.folder + kSiteHistoryFileName;
  return item;
}

bool CMarovineDoc::SaveDocument() { return SaveDocumentFile(*this, document_path); }

int CMarovineDoc::RegisterUrl(const std::string& url) {
  return RegisterUrlAs(url, settings.registration_mode);
}

int CMarovineDoc::RegisterUrlAs(const std::string& url, int registration_mode) {
  // An empty text would otherwise pass every test and become a nameless site.
  if (url.empty()) return 0;
  std::string link_extensions = RegisterLinkExtensions(profile);
  if (IgnoreWordFilter(url) == 0) return 0;

  std::string extension(ExtensionOf(url));
  if (!url.ends_with('/') && link_extensions.find(extension) == std::string::npos) {
    std::string download_extensions = RegisterDownloadExtensions(profile);
    if (settings.non_links_are_downloads == 0 &&
        download_extensions.find(extension) == std::string::npos) {
      return 0;
    }
    if (settings.unique_download_urls != 0 && HasDownload(url)) return 0;
    DownloadItem item;
    item.url = url;
    item.local_path = UnreservedLocalPath(platform::WithTrailingSeparator(settings.direct_folder) +
                                          SanitizeNameComponent(UrlFileName(url)));
    item.referer = url.substr(0, url.rfind('/') + 1);
    item.kind = KIND_DIRECT;
    if (AppendDownloadItem(std::move(item)) < 0) return 0;
    if (settings.auto_start_crawl != 0) crawl_.ResumeQuietly();
    return 1;
  }

  if (settings.unique_link_urls != 0 && FindLink(url) >= 0) return 0;
  if (registration_mode == kRegisterCrawl) {
    AppendLinkItem(NewCrawlLinkItem(url));
  } else {
    std::string folder = platform::WithTrailingSeparator(settings.whole_site_folder) +
                         SanitizeNameComponent(UrlToFlatName(url));
    AppendLinkItem(NewWholeSiteLinkItem(url, folder));
  }
  if (settings.auto_start_crawl != 0) crawl_.ResumeQuietly();
  return 1;
}

void CMarovineDoc::RemoveDownloadItem(int index) {
  if (index < 0 || index >= static_cast<int>(download_items.size())) return;
  reserved_names_.Remove(download_items[index].local_path);
  download_items.erase(download_items.begin() + index);
  // The view hears first, while the slot of the row still names it: a front
  // end counts how an item that leaves as its transfer ends has ended.
  if (download_view_ != nullptr) download_view_->DeleteRow(index);
  crawl_.DownloadItemRemoved(index);
}

void CMarovineDoc::RemoveLinkItem(int index) {
  if (index < 0 || index >= static_cast<int>(link_items.size())) return;
  if (settings.delete_link_log != 0) {
    std::string log = SiteDetailLogPath(paths.log_folder, link_items[index].url);
    crawl_.DiscardLogWrites(log);
    (void)platform::RemoveFile(log);  // a log left behind is only read again for this site
  }
  RemoveLinkItemKeepLog(index);
}

void CMarovineDoc::RemoveLinkItemKeepLog(int index) {
  if (index < 0 || index >= static_cast<int>(link_items.size())) return;
  link_items.erase(link_items.begin() + index);
  ViewHint hint;
  hint.code = HINT_DELETE_ROW;
  hint.value_a = index;
  Broadcast(hint);
}

void CMarovineDoc::ClearDownloadList() {
  for (int i = static_cast<int>(download_items.size()) - 1; i >= 0; --i) RemoveDownloadItem(i);
  download_items.clear();
  reserved_names_.Clear();
}

void CMarovineDoc::MarkDownloadsUnfinished(const std::vector<int>& rows) {
  for (int row : rows) {
    if (row < 0 || row >= static_cast<int>(download_items.size())) continue;
    if (download_items[row].state == DS_RUNNING) continue;
    download_items[row].state = DS_WAITING;
    if (download_view_ != nullptr && row < download_view_->RowCount()) {
      download_view_->SetImage(IMAGE_WAITING, row);
    }
  }
}

void CMarovineDoc::ResetAfterDays() {
  LocalDate today = clock();
  int day = DayNumber(today.month, today.day);
  if (day == last_reset_day_) return;
  last_reset_day_ = day;
  bool any = false;
  for (std::size_t i = 0; i < link_items.size(); ++i) {
    LinkItem& item = link_items[i];
    if (item.reset_days == 0 || item.state == LS_SEARCHING) continue;
    // Day numbers restart at New Year; a site done in December is due in
    // January, not a year later.
    // The day and the interval come from the document file and may hold any
    // value: count in 64 bits so no file makes the sum overflow.
    std::int64_t elapsed = std::int64_t{day} - item.done_day;
    if (elapsed < 0) elapsed += 365;
    if (elapsed < item.reset_days) continue;
    item.state = LS_WAITING;
    SetLinkRowImage(static_cast<int>(i));
    any = true;
  }
  if (any && settings.auto_start_crawl != 0) crawl_.ResumeQuietly();
}

}  // namespace marovine
