#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marovine {

// The download log of the program folder: "log.dat", a plain list of URLs the
// user keeps, and "log2.dat", sections of entries the crawl records after each
// download, optionally with the server's date ("*" line) and the size ("!"
// line) so that a changed file is fetched again.

inline constexpr const char* kNoReferKey = "NoRefer";

// True when a line of "log.dat" (in `log_folder`) equals the URL exactly.
bool IsInLogDat(const std::string& log_folder, std::string_view url);

// The name an entry of "log2.dat" carries: the URL's part below the referer's
// folder (with its leading "/") when it lies in that folder, else the whole
// URL.
std::string Log2EntryName(std::string_view url, std::string_view referer);

// The section key of an item: its referer, or "NoRefer" when it has none.
std::string Log2Key(std::string_view referer);

struct Log2Entry {
  bool found = false;
  std::string date;       // empty when none was recorded
  std::int64_t size = 0;  // 0 when none was recorded
};

// Looks an entry up in "log2.dat": every section headed by the key is searched
// for a line that is the entry name. A missing file finds nothing.
Log2Entry LookUpLog2(const std::string& log2_path, std::string_view key,
                     std::string_view entry_name);

// Records an entry (date empty = no date line, size 0 = no size line). An
// existing entry gets its date and size lines replaced or added; the file is
// then rewritten whole and atomically, so the entries after it are never
// overwritten. New entries are appended. False when the file cannot be
// written; the log then stays as it was.
bool RecordLog2(const std::string& log2_path, std::string_view key, std::string_view entry_name,
                std::string_view date, std::int64_t size);

}  // namespace marovine
