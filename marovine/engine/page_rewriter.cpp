#include "marovine/engine/page_rewriter.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "marovine/engine/local_path.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/safe_name.h"
#include "marovine/engine/url_rules.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {

namespace {

std::string Climbs(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "../";
  return text;
}

// The link text that reaches the file the mapping stores for this relative
// URL path: the same sanitised components, joined with "/".
std::string LocalLinkPath(std::string_view relative) {
  bool is_folder = relative.empty() || relative.back() == '/';
  std::string path = SanitizeRelativePath(relative);
  if (is_folder || path.empty()) {
    if (!path.empty()) path += '/';
    path += "index.html";
  }
  return path;
}

// How many folders below the site's local folder the page itself lies, as
// the whole-site mapping stores it; that many "../" lead back to the top. It
// is counted on the stored path, not the address: "a//b.html" is stored as
// "a/b.html", and a page of another server lies in "Another_Server/".
int SavedDepth(std::string_view page_url, std::string_view below) {
  auto at = page_url.find(below);
  if (at == std::string_view::npos) return 1;
  std::string path = LocalLinkPath(page_url.substr(at + below.size()));
  return static_cast<int>(std::count(path.begin(), path.end(), '/'));
}

}  // namespace

std::string RewriteLinkValue(const RewriteRequest& request, std::string_view value) {
  if (value.find('.') == std::string_view::npos) return std::string(value);
  std::string_view extension = ExtensionOf(value);
  bool ends_with_slash = value.ends_with('/');
  bool is_page = HasWholeWord(request.page_extensions, extension);
  bool is_download = HasWholeWord(request.download_extensions, extension);
  if (!ends_with_slash && !is_page && !is_download) {
    // A page extension that is only part of a longer word is left alone;
    // everything else unknown may be dropped.
    if (request.page_extensions.find(extension) != std::string::npos) return std::string(value);
    return request.drop_other ? std::string() : std::string(value);
  }

  std::string link(value);
  if (!value.starts_with("http:") && !value.starts_with("https:")) {
    auto resolved = ResolveLink(value, BaseUrlOf(request.page_url), false);
    if (!resolved) return std::string(value);
    link = std::move(*resolved);
  }

  std::string site_folder = UrlFolderOf(request.site_url);
  std::string below = AnySchemeNeedle(site_folder + "/");
  int depth = SavedDepth(request.page_url, below);

  if (auto at = link.find(below); at != std::string::npos && !site_folder.empty()) {
    return Climbs(depth) + LocalLinkPath(std::string_view(link).substr(at + below.size()));
  }
  if (is_download && request.another_server) {
    auto slash = link.rfind('/');
    std::string_view name =
        std::string_view(link).substr(slash == std::string::npos ? 0 : slash + 1);
    return Climbs(depth) + std::string(kAnotherServerFolder) + "/" +
           (name.empty() ? std::string("index.html") : SanitizeNameComponent(name));
  }
  return link;
}

namespace {

// The rewritten page, or nothing once it would grow beyond limit bytes.
std::optional<std::string> RewriteWithin(const RewriteRequest& request, std::string_view page,
                                         std::size_t limit) {
  std::string out;
  out.reserve(page.size() + page.size() / 8);
  bool in_tag = false;
  std::size_t i = 0;
  while (i < page.size()) {
    char c = page[i];
    if (!in_tag) {
      out += c;
      in_tag = c == '<';
      ++i;
      continue;
    }
    if (c == '"' || c == '\'') {
      auto close = page.find(c, i + 1);
      if (close == std::string_view::npos) {
        out.append(page.substr(i));
        break;
      }
      out += c;
      out += RewriteLinkValue(request, page.substr(i + 1, close - i - 1));
      out += c;
      if (out.size() > limit) return std::nullopt;
      i = close + 1;
      continue;
    }
    out += c;
    in_tag = c != '>';
    ++i;
  }
  return out;
}

}  // namespace

std::string RewritePageText(const RewriteRequest& request, std::string_view page) {
  return *RewriteWithin(request, page, std::string::npos);
}

bool RewriteSavedPage(const RewriteRequest& request, const std::string& local_file) {
  // A page is exempt from the size limits, and each value may grow by a "../"
  // per folder of the page's address: a huge page, or one that would swell
  // far beyond any real rewriting, stays as the server sent it rather than
  // exhaust memory.
  auto size = platform::FileSizeOf(local_file);
  if (!size || *size > static_cast<std::int64_t>(kMaxPageBytes)) return false;
  auto original = platform::ReadWholeFile(local_file);
  if (!original) return false;
  auto rewritten = RewriteWithin(request, *original, original->size() * 8 + 1024 * 1024);
  if (!rewritten) return false;
  if (!platform::WriteFileAtomically(local_file + "buf", *original)) return false;
  return platform::WriteFileAtomically(local_file, *rewritten);
}

}  // namespace marovine
