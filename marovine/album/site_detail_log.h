#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovine {

// The per-site detail log "Log/<site name>.txt" of the program folder: one INI
// section per saved file, named after the file, with the keys "Url", "Refer",
// "Message", "FilePass", "ModifiedDate" and "FileSize" in that order.

// The site name of a registered URL (SiteLogName, shared with the crawl that
// writes the logs): without its first seven characters (the "http://"), with
// "/", "?", ",", ">" and "<" each replaced by "_"; "Normal_Download" for the
// empty URL (direct downloads). Stored logs and albums are named by this rule.
// Defined with the crawl's log paths (marovine/engine/site_log_paths.cpp).
std::string SiteLogName(std::string_view site_url);

// program folder + "Log/" + SiteLogName(url) + ".txt".
std::string SiteDetailLogPath(const std::string& program_folder, std::string_view site_url);

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

// The status text of a transfer that ended well.
inline constexpr const char* kTransferSucceededText = "正常に終了しました。";

// The saved paths of the records whose transfer ended well, in log order.
std::vector<std::string> FinishedFilePaths(const std::vector<SiteDetailRecord>& records);

}  // namespace marovine
