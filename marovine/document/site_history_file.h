#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/profile_write_batch.h"

namespace marovine {

// "履歴.txt" in the root folder of a whole-site mirror: which site it mirrors
// and, per fetched URL, the server's date and the size, so that a later run
// fetches only what changed.

// Creates the file with its header and [BaseUrl] section unless it exists
// (folders made as needed). False when it cannot be written.
bool CreateSiteHistoryFile(const std::string& path, const std::string& base_url,
                           const std::string& heading);

// Records a fetched URL: ModifiedDate ("None" when the server sent no date)
// and FileSize.
bool WriteSiteHistoryEntry(const std::string& path, const std::string& url,
                           const std::string& last_modified, std::int64_t size);

// The same through a batch of writes: the keys wait with the others.
void WriteSiteHistoryEntry(platform::ProfileWriteBatch& batch, const std::string& path,
                           const std::string& url, const std::string& last_modified,
                           std::int64_t size);

// The date recorded for a URL, or empty.
std::string ReadSiteHistoryDate(const std::string& path, const std::string& url);
std::string ReadSiteHistoryDate(const platform::ProfileWriteBatch& batch, const std::string& path,
                                const std::string& url);

struct SiteHistoryBase {
  std::string base_url;
  std::string heading;
};
// The mirrored site of a history file; nothing when the file is no history
// file (no BaseUrl).
std::optional<SiteHistoryBase> ReadSiteHistoryBase(const std::string& path);

inline constexpr const char* kNotAHistoryFile = "正式な履歴ファイルではありません！";

}  // namespace marovine
