#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace marovine {

// Where fetched files go on disk. Every name that comes from a URL or a page
// title passes through SanitizeNameComponent, so a result always lies inside
// the folder it was built from.

struct CrawlFolderOptions {
  std::string download_folder;  // Kakunou Folder
  bool address_folder = false;  // LinkFolder: one folder per site address
  bool date_folder = false;     // Make Date Name Folder: one folder per day
};

struct LocalDate {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

LocalDate Today();

// The folder of a new crawl-mode site, ending with the separator. The address
// folder wins over the date folder.
std::string MakeCrawlSiteFolder(const CrawlFolderOptions& options, std::string_view site_url,
                                const LocalDate& today);

// The folder name a crawl-mode site takes from its page title (the address
// when the page has none), without the separator.
std::string TitleFolderName(std::string_view title, std::string_view site_url);

// The name a crawl-mode file gets in its site folder: the URL's last segment,
// with the site's random number in front when one is given (negative: none).
std::string CrawlFileName(std::string_view url, int random_prefix);

// The first path "stem(n).ext" (n counting up from counter + 1) that names no
// existing file, or the path itself when it is free. A stem that already ends
// in "(k)" is renumbered, not given a second pair of brackets. The counter is
// the item's own and is left at the number used.
std::string FreeLocalPath(const std::string& path, int& counter);
// The path FreeLocalPath numbers from: "x(3).jpg" and "x.jpg" both give
// "x.jpg".
std::string UnnumberedLocalPath(const std::string& path);
// The same with what counts as taken given, so that a name another item
// holds is as taken as a file on disk.
std::string FreeLocalPath(const std::string& path, int& counter,
                          const std::function<bool(const std::string&)>& taken);

// Where a whole-site item is stored: below the site folder by its path under
// the site's folder URL, or in "Another_Server/" by its last segment when it
// lies elsewhere; "index.html" for a folder URL.
std::string WholeSiteLocalPath(std::string_view site_folder, std::string_view site_url,
                               std::string_view url);

inline constexpr std::string_view kAnotherServerFolder = "Another_Server";

}  // namespace marovine
