// Link resolution followed by every local mapping: whatever the link, the
// local path lies inside the folder it was built from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/local_path.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"

namespace {

const std::string kRoot = "/root/mirror";

void CheckInside(const std::string& path, const std::string& root) {
  if (!path.starts_with(root + "/")) std::abort();
  std::string_view rest = std::string_view(path).substr(root.size() + 1);
  std::size_t from = 0;
  while (true) {
    auto slash = rest.find('/', from);
    std::string_view part =
        rest.substr(from, slash == std::string_view::npos ? rest.npos : slash - from);
    if (part.empty() || part == "." || part == ".." || part.size() > marovine::kMaxNameBytes) {
      std::abort();
    }
    for (unsigned char c : part) {
      if (c < 0x20 || c == 0x7F || c == '\\') std::abort();
    }
    if (slash == std::string_view::npos) break;
    from = slash + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  auto split = input.find('\n');
  std::string_view value = input.substr(0, split);
  std::string site = "http://h.example/site/index.html";
  std::string base = "http://h.example/site/a/";
  if (split != std::string_view::npos) {
    std::string_view page = input.substr(split + 1);
    base = marovine::BaseUrlOf("http://" + std::string(page));
  }
  auto url = marovine::ResolveLink(value, base, size % 2 == 0);
  std::string target = url ? *url : "http://" + std::string(value);

  CheckInside(marovine::WholeSiteLocalPath(kRoot, site, target), kRoot);
  CheckInside(marovine::WholeSiteLocalPath(kRoot, target, target), kRoot);
  CheckInside(kRoot + "/" + marovine::CrawlFileName(target, static_cast<int>(size) - 1), kRoot);
  CheckInside(kRoot + "/" + marovine::TitleFolderName(value, target), kRoot);
  marovine::CrawlFolderOptions options{kRoot, true, false};
  std::string folder = marovine::MakeCrawlSiteFolder(options, target, {2001, 1, 5});
  CheckInside(folder + "x", kRoot);
  return 0;
}
