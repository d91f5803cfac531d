#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "marovine/engine/site_log_paths.h"

namespace marovine {

// The per-site detail log "Log/<site name>.txt" of the program folder: one INI
// section per saved file, named after the file, with the keys "Url", "Refer",
// "Message", "FilePass", "ModifiedDate" and "FileSize" in that order.

// The log's name and path come from the site URL (marovine/engine/site_log_paths.h):
// SiteDetailLogPath(log folder, site URL).

struct SiteDetailRecord {
  std::string name;  // the section: the saved file's name
  std::string url;
  std::string referer;
  std::string message;    // the transfer's status text
  std::string file_path;  // "FilePass": where the file was saved
  std::string modified_date;
  std::string file_size;
};

// The records of a log in file order; nothing when the file cannot be read.
// Logs written on the original platform (CP932, CR LF) read the same.
std::optional<std::vector<SiteDetailRecord>> ReadSiteDetailLog(const std::string& path);

// The saved paths of the records whose transfer ended well, in log order: the
// log keeps only the status text, so it is matched against the one constant
// the transfer writes (a note may follow it).
std::vector<std::string> FinishedFilePaths(const std::vector<SiteDetailRecord>& records);

}  // namespace marovine
