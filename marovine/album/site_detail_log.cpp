#include "marovine/album/site_detail_log.h"

#include "marovine/engine/transfer_status.h"
#include "platform/ascii_text.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/text_encoding.h"

namespace marovine {

std::optional<std::vector<SiteDetailRecord>> ReadSiteDetailLog(const std::string& path) {
  auto raw = platform::ReadWholeFile(path);
  if (!raw) return std::nullopt;
  std::string text = platform::LegacyToUtf8(*raw);
  std::vector<SiteDetailRecord> records;
  std::string_view rest(text);
  while (!rest.empty()) {
    auto end = rest.find('\n');
    std::string_view line = platform::TrimBlanks(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.size() >= 2 && line.front() == '[') {
      auto close = line.find(']');
      if (close != std::string_view::npos) {
        records.push_back({});
        records.back().name = std::string(line.substr(1, close - 1));
        continue;
      }
    }
    auto eq = line.find('=');
    if (records.empty() || eq == std::string_view::npos) continue;
    std::string_view key = platform::TrimBlanks(line.substr(0, eq));
    std::string value(platform::TrimBlanks(line.substr(eq + 1)));
    SiteDetailRecord& record = records.back();
    if (platform::EqualsIgnoreCase(key, "Url")) {
      record.url = value;
    } else if (platform::EqualsIgnoreCase(key, "Refer")) {
      record.referer = value;
    } else if (platform::EqualsIgnoreCase(key, "Message")) {
      record.message = value;
    } else if (platform::EqualsIgnoreCase(key, "FilePass")) {
      record.file_path = value;
    } else if (platform::EqualsIgnoreCase(key, "ModifiedDate")) {
      record.modified_date = value;
    } else if (platform::EqualsIgnoreCase(key, "FileSize")) {
      record.file_size = value;
    }
  }
  return records;
}

std::vector<std::string> FinishedFilePaths(const std::vector<SiteDetailRecord>& records) {
  std::vector<std::string> paths;
  for (const auto& record : records) {
    if (record.message.find(transfer_text::kCompleted) != std::string::npos &&
        !record.file_path.empty()) {
      paths.push_back(record.file_path);
    }
  }
  return paths;
}

}  // namespace marovine
