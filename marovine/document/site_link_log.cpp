#include "marovine/document/site_link_log.h"

#include <algorithm>

#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {

namespace {

// Lines longer than this were never read whole.
constexpr std::size_t kMaxLineBytes = 511;

}  // namespace

bool AppendSiteLinkLog(const std::string& log_path, std::string_view full_url) {
  const std::string url = WithoutUserInfo(full_url);
  if (auto text = platform::ReadWholeFile(log_path)) {
    std::string_view rest = *text;
    while (!rest.empty()) {
      auto end = rest.find('\n');
      std::string_view line = rest.substr(0, std::min(end, kMaxLineBytes));
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
      if (line.find(url) != std::string_view::npos) return false;
    }
  }
  // Without the log the link still counts as new: it is followed now and
  // perhaps listed again on a later visit, which is the lesser harm.
  if (platform::MakeFoldersForFile(log_path)) {
    (void)platform::AppendToFile(log_path, std::string(url) + "\n");
  }
  return true;
}

}  // namespace marovine
