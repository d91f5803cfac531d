#include "marovine/engine/local_path.h"

#include <ctime>

#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"
#include "platform/path.h"

namespace marovine {

LocalDate Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string MakeCrawlSiteFolder(const CrawlFolderOptions& options, std::string_view site_url,
                                const LocalDate& today) {
  std::string folder = platform::WithTrailingSeparator(options.download_folder);
  if (options.address_folder) {
    folder += SanitizeNameComponent(UrlToFlatName(site_url));
    folder += platform::kPathSeparator;
  } else if (options.date_folder) {
    folder += std::to_string(today.year) + "_" + std::to_string(today.month) + "_" +
              std::to_string(today.day);
    folder += platform::kPathSeparator;
  }
  return folder;
}

std::string TitleFolderName(std::string_view title, std::string_view site_url) {
  std::string bare = WithoutUserInfo(site_url);
  std::size_t scheme = WebSchemeLength(bare);
  if (scheme == 0) scheme = 7;
  std::string name(title.empty() ? (bare.size() > scheme ? bare.substr(scheme) : "") : title);
  for (char& c : name) {
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case ',':
      case ';':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
      case '\n':
      case '.':
        c = '_';
        break;
      default:
        break;
    }
  }
  return SanitizeNameComponent(name);
}

std::string CrawlFileName(std::string_view url, int random_prefix) {
  std::string name = UrlFileName(url);
  if (random_prefix >= 0) name = std::to_string(random_prefix) + name;
  return SanitizeNameComponent(name);
}

std::string FreeLocalPath(const std::string& path, int& counter) {
  return FreeLocalPath(
      path, counter, [](const std::string& candidate) { return platform::FileExists(candidate); });
}

namespace {

struct NumberedName {
  std::string folder;
  std::string stem;  // without a "(n)" of its own
  std::string extension;
};

NumberedName SplitNumberedName(const std::string& path) {
  NumberedName parts;
  parts.folder = platform::FolderOf(path);
  std::string name = platform::NameOf(path);
  auto dot = name.rfind('.');
  parts.extension = dot == std::string::npos ? "" : name.substr(dot);
  parts.stem = name.substr(0, name.size() - parts.extension.size());
  auto bracket = parts.stem.rfind('(');
  if (bracket != std::string::npos) parts.stem.resize(bracket);
  return parts;
}

}  // namespace

std::string UnnumberedLocalPath(const std::string& path) {
  NumberedName parts = SplitNumberedName(path);
  return parts.folder + parts.stem + parts.extension;
}

std::string FreeLocalPath(const std::string& path, int& counter,
                          const std::function<bool(const std::string&)>& taken) {
  if (!taken(path)) return path;
  auto [folder, stem, extension] = SplitNumberedName(path);
  std::string candidate = path;
  while (taken(candidate)) {
    ++counter;
    std::string numbered = stem + "(" + std::to_string(counter) + ")" + extension;
    candidate = folder + SanitizeNameComponent(numbered);
  }
  return candidate;
}

std::string WholeSiteLocalPath(std::string_view site_folder, std::string_view site_url,
                               std::string_view url) {
  std::string folder = platform::WithTrailingSeparator(site_folder);
  // The folder URL with its "/": "http://h/site2/x" is not below "http://h/site".
  // The scheme does not change the folder: a site that moved to https:// (or
  // links to itself under both) keeps one tree.
  std::string below = AnySchemeNeedle(UrlFolderOf(site_url) + "/");
  auto at = url.find(below);
  std::string relative;
  bool is_folder_url = false;
  if (at != std::string_view::npos) {
    std::string_view rest = url.substr(at + below.size());
    is_folder_url = rest.empty() || rest.back() == '/';
    relative = SanitizeRelativePath(rest);
  } else {
    std::string_view name =
        url.substr(url.rfind('/') == std::string_view::npos ? 0 : url.rfind('/') + 1);
    is_folder_url = name.empty();
    relative = std::string(kAnotherServerFolder) + platform::kPathSeparator +
               (name.empty() ? std::string() : SanitizeNameComponent(name));
  }
  if (is_folder_url || relative.empty() || relative.back() == platform::kPathSeparator) {
    if (!relative.empty() && relative.back() != platform::kPathSeparator) {
      relative += platform::kPathSeparator;
    }
    relative += "index.html";
  }
  return folder + relative;
}

}  // namespace marovine
