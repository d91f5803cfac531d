#pragma once

#include <cstdint>
#include <string>

namespace marovine {

// The two records a crawl is made of. Both lists hold them by value in
// display order; an item is addressed by its index, and row i of each list
// view shows item i. The URL is the key for duplicate checks and for the
// download-to-site link (site_url); there is no other identifier.

enum LinkState : std::uint8_t {
  LS_WAITING = 0,
  LS_DONE = 1,
  LS_SEARCHING = 2,
};

enum LinkMode : std::int32_t {
  MODE_WHOLE_SITE = 0,
  MODE_CRAWL = 1,
};

enum DownloadState : std::uint8_t {
  DS_WAITING = 0,
  DS_DONE = 1,
  DS_RUNNING = 2,
  DS_ERROR = 3,
  DS_RETRY_WAIT = 4,
  DS_PAGE_DONE = 5,
  DS_SIZE_REMOVED = 6,
};

enum DownloadKind : std::int32_t {
  KIND_DIRECT = 0,
  KIND_CRAWL = 1,
  KIND_WHOLE_SITE = 2,
};

// Group and search level of a whole-site item, which searches as level 2.
inline constexpr int kWholeSiteGroup = 255;
inline constexpr int kWholeSiteSearchLevel = 255;

// The name of a whole-site item's history file in its folder.
inline constexpr const char* kSiteHistoryFileName = "履歴.txt";

// What a site whose start page has no title shows for it. Code asks whether
// the title was missing, never whether a title reads like this.
inline constexpr const char* kUntitledText = "無題";

// One site (or page) whose links are searched.
struct LinkItem {
  std::int32_t random_number = 0;  // prefixed to file names (crawl mode), 0..2047
  std::string url;
  std::string folder;           // always ends with the separator
  std::string credentials;      // "user:password" for Basic authorization, or empty
  std::string history_path;     // whole-site mode: folder + 履歴.txt
  std::string title;            // the start page's title once known
  std::int32_t done_day = 0;    // DayNumber of the day the search finished; 0 never
  std::int32_t reset_days = 0;  // back to waiting this many days after done_day; 0 off
  std::int32_t page_limit = 0;  // 0 no limit
  std::int32_t mode = MODE_CRAWL;
  std::int32_t file_count = 0;
  std::int32_t group = 0;
  std::int32_t search_level = 0;  // 0 all, 1 site, 2 folder, 3 link-site search
  std::uint8_t state = LS_WAITING;

  bool operator==(const LinkItem&) const = default;
};

// One page or file to fetch.
struct DownloadItem {
  std::string url;
  std::string local_path;
  std::string referer;
  std::string site_url;  // URL of the owning LinkItem; empty for a direct download
  std::int32_t kind = KIND_DIRECT;
  std::int32_t start_page = 0;  // 1: fetch as a page although its name does not say so
  std::uint8_t state = DS_WAITING;

  bool operator==(const DownloadItem&) const = default;
};

// The texts the property dialogs show for a state.
const char* LinkStateText(int state);
const char* DownloadStateText(int state);

// The link view's state image: 0 waiting, 1 searching, 2 done, 3 other.
int LinkStateImage(int state);
// The link view's image group: the mode, plus 2 with periodic reset.
int LinkImageGroup(const LinkItem& item);

}  // namespace marovine
