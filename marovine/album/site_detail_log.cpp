#include "marovine/album/site_detail_log.h"

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/text_encoding.h"

namespace marovine {
namespace {

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string SiteDetailLogPath(const std::string& program_folder, std::string_view site_url) {
  return platform::JoinPath(program_folder, "Log/" + SiteLogName(site_url) + ".txt");
}

std::optional<std::vector<SiteDetailRecord>> ReadSiteDetailLog(const std::string& path) {
  auto raw = platform::ReadWholeFile(path);
  if (!raw) return std::nullopt;
  std::string text = platform::LegacyToUtf8(*raw);
  std::vector<SiteDetailRecord> records;
  std::string_view rest(text);
  while (!rest.empty()) {
    auto end = rest.find('\n');
    std::string_view line = TrimBlanks(rest.substr(0, end));
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
    std::string_view key = TrimBlanks(line.substr(0, eq));
    std::string value(TrimBlanks(line.substr(eq + 1)));
    SiteDetailRecord& record = records.back();
    if (SameKey(key, "Url")) {
      record.url = value;
    } else if (SameKey(key, "Refer")) {
      record.referer = value;
    } else if (SameKey(key, "Message")) {
      record.message = value;
    } else if (SameKey(key, "FilePass")) {
      record.file_path = value;
    } else if (SameKey(key, "ModifiedDate")) {
      record.modified_date = value;
    } else if (SameKey(key, "FileSize")) {
      record.file_size = value;
    }
  }
  return records;
}

std::vector<std::string> FinishedFilePaths(const std::vector<SiteDetailRecord>& records) {
  std::vector<std::string> paths;
  for (const auto& record : records) {
    if (record.message.find(kTransferSucceededText) != std::string::npos &&
        !record.file_path.empty()) {
      paths.push_back(record.file_path);
    }
  }
  return paths;
}

}  // namespace marovine
