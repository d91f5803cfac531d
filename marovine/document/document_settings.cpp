#include "marovine/document/document_settings.h"

#include "platform/path.h"

namespace marovine {
namespace {

// Kilobytes widen to 64 bits before the multiplication: a limit of a few
// gigabytes must not wrap into a negative or tiny one.
std::int64_t LimitBytes(int enabled, int size_kb) {
  if (!enabled || size_kb <= 0) return 0;
  return static_cast<std::int64_t>(size_kb) * 1024;
}

}  // namespace

DocumentSettings DefaultDocumentSettings(const std::string& storage_folder) {
  DocumentSettings settings;
  std::string folder = platform::WithTrailingSeparator(storage_folder);
  settings.crawl_folder = folder;
  settings.direct_folder = folder;
  settings.whole_site_folder = platform::WithTrailingSeparator(folder + "Marugoto");
  return settings;
}

const char* UserAgentText(const DocumentSettings& settings) {
  return settings.user_agent ? "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)"
                             : "Marovine Ver3";
}

std::int64_t MaximumFileBytes(const DocumentSettings& settings) {
  return LimitBytes(settings.limit_huge_files, settings.huge_size_kb);
}

std::int64_t MinimumFileBytes(const DocumentSettings& settings) {
  return LimitBytes(settings.skip_small_files, settings.small_size_kb);
}

std::int64_t WholeSiteMaximumFileBytes(const DocumentSettings& settings) {
  return LimitBytes(settings.whole_site_limit_huge, settings.whole_site_huge_size_kb);
}

}  // namespace marovine
