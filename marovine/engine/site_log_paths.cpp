#include "marovine/engine/site_log_paths.h"

#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"
#include "platform/path.h"

namespace marovine {

namespace {

// Room for the "_link.txt" that follows the name.
constexpr std::size_t kLogNameBytes = kMaxNameBytes - 9;

}  // namespace

std::string SiteLogName(std::string_view site_url) {
  if (site_url.empty()) return "Normal_Download";
  return ShortenName(SanitizeNameComponent(UrlToFlatName(site_url)), kLogNameBytes);
}

std::string SiteDetailLogPath(std::string_view log_folder, std::string_view site_url) {
  return platform::JoinPath(log_folder, SiteLogName(site_url) + ".txt");
}

std::string SiteLinkLogPath(std::string_view log_folder, std::string_view site_url) {
  return platform::JoinPath(log_folder, SiteLogName(site_url) + "_link.txt");
}

}  // namespace marovine
