#include "marovine/document/site_history_file.h"

#include "marovine/engine/url_rules.h"

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"

namespace marovine {

bool CreateSiteHistoryFile(const std::string& path, const std::string& base_url,
                           const std::string& heading) {
  if (platform::FileExists(path)) return true;
  std::string content = "[Marovine rireki]\nVER=MarovineVer330format\n\n[BaseUrl]\nBaseUrl=" +
                        WithoutUserInfo(base_url) + "\nMidashi=" + heading + "\n";
  return platform::WriteFileAtomically(path, content);
}

bool WriteSiteHistoryEntry(const std::string& path, const std::string& url,
                           const std::string& last_modified, std::int64_t size) {
  platform::Profile history(path);
  const std::string section = WithoutUserInfo(url);
  // Dates are kept as the server sent them; a value with its own quotes would
  // lose them on reading, so store it as it is.
  return history.WriteString(section, "ModifiedDate",
                             last_modified.empty() ? "None" : last_modified) &&
         history.WriteString(section, "FileSize", std::to_string(size));
}

void WriteSiteHistoryEntry(platform::ProfileWriteBatch& batch, const std::string& path,
                           const std::string& url, const std::string& last_modified,
                           std::int64_t size) {
  batch.Write(path, url, "ModifiedDate", last_modified.empty() ? "None" : last_modified);
  batch.Write(path, url, "FileSize", std::to_string(size));
}

std::string ReadSiteHistoryDate(const platform::ProfileWriteBatch& batch, const std::string& path,
                                const std::string& url) {
  return batch.Find(path, url, "ModifiedDate").value_or("");
}

std::string ReadSiteHistoryDate(const std::string& path, const std::string& url) {
  return platform::Profile(path).GetString(WithoutUserInfo(url), "ModifiedDate", "");
}

std::optional<SiteHistoryBase> ReadSiteHistoryBase(const std::string& path) {
  platform::Profile history(path);
  SiteHistoryBase base;
  base.base_url = history.GetString("BaseUrl", "BaseUrl", "");
  if (base.base_url.empty()) return std::nullopt;
  base.heading = history.GetString("BaseUrl", "Midashi", "");
  return base;
}

}  // namespace marovine
