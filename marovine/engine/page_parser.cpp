#include "marovine/engine/page_parser.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>

#include "marovine/engine/html_char_refs.h"
#include "marovine/engine/html_scanner.h"
#include "marovine/engine/page_charset.h"
#include "marovine/engine/url_rules.h"

namespace marovine {

namespace {

// A title without its end tag would otherwise take the rest of the page.
constexpr std::size_t kMaxTitleBytes = 64 * 1024;

// Pages are exempt from the size limits, and every link is the page's own
// address plus a value, so a hostile page (or an endless one) could make the
// parser hold its size times the address's length. These bounds are far
// beyond any real page: the download list takes 10,000 items, and no server
// accepts an address longer than a few kilobytes.
constexpr std::size_t kMaxLinkBytes = 16 * 1024;
constexpr std::size_t kMaxFoundLinks = 100000;
constexpr std::size_t kMaxFoundLinkBytes = 16 * 1024 * 1024;

// The start of a saved page, at most kMaxPageBytes of it.
std::optional<std::string> ReadPageStart(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  while (bytes.size() < kMaxPageBytes && in) {
    std::size_t want = std::min(sizeof buffer, kMaxPageBytes - bytes.size());
    in.read(buffer, static_cast<std::streamsize>(want));
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  return bytes;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view DropLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Cuts an attribute value out of the text that follows its name. Unquoted,
// double-quoted and single-quoted values come out the same; a quoted value
// holding a blank is cut at that blank, as it always was.
std::string CutValue(std::string_view text) {
  text = DropLeadingBlanks(text);
  if (auto eq = text.find('='); eq != std::string_view::npos) text.remove_prefix(eq + 1);
  text = DropLeadingBlanks(text);
  std::string value(text);
  if (auto gt = value.find('>'); gt != std::string::npos) value.erase(gt, 1);
  auto blank = std::find_if(value.begin(), value.end(), IsBlank);
  value.erase(blank, value.end());
  for (char quote : {'"', '\''}) {
    std::size_t at;
    while ((at = value.find(quote)) != std::string::npos) {
      value.erase(at, 1);
      if (auto next = value.find(quote, at); next != std::string::npos) value.resize(next);
    }
  }
  return value;
}

int CountSlashes(std::string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '/'));
}

}  // namespace

void CPageParser::ParsePage() {
  auto bytes = ReadPageStart(local_file);
  ParseText(bytes ? std::string_view(*bytes) : std::string_view{});
}

namespace {

// The attributes that name a file a page shows or needs, beyond the one link
// the tag rules take from each tag.
bool IsExtraSource(const HtmlTag& tag, const HtmlAttribute& attribute) {
  const std::string& name = attribute.name;
  if (name == "data-src" || name == "data-original" || name == "poster") return true;
  if (name == "src") {
    // "img" also takes the first "src" of the tag's text, which may be a
    // "srcset"'s; the picture's own source is taken here besides.
    return tag.name == "img" || tag.name == "script" || tag.name == "source" ||
           tag.name == "embed" || tag.name == "audio" || tag.name == "video" ||
           tag.name == "track" || tag.name == "input";
  }
  return name == "href" && tag.name == "link";
}

bool IsSrcset(const HtmlAttribute& attribute) {
  return attribute.name == "srcset" || attribute.name == "data-srcset";
}

std::string_view TrimBlanks(std::string_view text) {
  text = DropLeadingBlanks(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

class CPageParser::TagVisitor : public HtmlVisitor {
 public:
  explicit TagVisitor(CPageParser& parser) : parser_(parser) {}

  void OnTag(const HtmlTag& tag) override {
    if (tag.end_tag) return;
    std::string primary = parser_.ApplyTagRules(tag.text);
    if (parser_.lower_tag_.find("another_server") != std::string::npos) return;
    for (const HtmlAttribute& attribute : tag.attributes) {
      if (!attribute.has_value) continue;
      if (IsSrcset(attribute)) {
        // Split as written, as the rewriting splits it: a reference never
        // holds a blank or a comma.
        for (TextSpan span : SrcsetUrls(attribute.value)) {
          parser_.Accept(parser_.AttributeText(attribute.value.substr(span.begin, span.size)),
                         false);
        }
      } else if (attribute.name == "style") {
        std::string style = parser_.AttributeText(attribute.value);
        for (std::string_view link : CssLinks(style)) parser_.Accept(link, false);
      } else if (IsExtraSource(tag, attribute)) {
        std::string value = parser_.AttributeText(TrimBlanks(attribute.value));
        if (value != primary) parser_.Accept(value, false);
      }
    }
  }

  void OnRawText(const HtmlTag& start, std::string_view text) override {
    if (start.name == "style") {
      for (std::string_view link : CssLinks(text)) parser_.Accept(link, false);
    } else if (start.name == "title" && start.text.size() == 6 && start.attributes.empty()) {
      raw_title = text.substr(0, std::min(text.size(), kMaxTitleBytes));
    }
  }

  std::string_view raw_title;

 private:
  CPageParser& parser_;
};

void CPageParser::ParseText(std::string_view page) {
  title.clear();
  found_links_.clear();
  found_count_ = 0;
  next_link_ = 0;
  meta_charset_.clear();
  base_url = BaseUrlOf(base_url);
  // The same host under the other scheme is the same site.
  site_folder_ = AnySchemeNeedle(UrlFolderOf(site_url));
  site_host_ = AnySchemeNeedle(HostPartOf(site_url));
  site_slashes_ = CountSlashes(site_url);

  if (stylesheet != 0) {
    for (std::string_view link : CssLinks(page)) Accept(link, false);
    return;
  }
  TagVisitor visitor(*this);
  ScanHtml(page, visitor);
  title =
      TitleToUtf8(visitor.raw_title, declared_charset.empty() ? meta_charset_ : declared_charset);
}

std::string CPageParser::ApplyTagRules(std::string_view tag) {
  lower_tag_.resize(tag.size());
  std::transform(tag.begin(), tag.end(), lower_tag_.begin(), Lower);
  const std::string& lower = lower_tag_;
  constexpr auto npos = std::string::npos;

  // Links the whole-site rewriting has already made local.
  if (lower.find("another_server\\") != npos || lower.find("another_server/") != npos) return {};

  std::size_t start;
  bool always_take = false;
  if (lower.find("img") != npos) {
    auto src = lower.find("src");
    start = src == npos ? 0 : src + 3;
  } else if (auto href = lower.find("href"); href != npos) {
    start = href + 4;
  } else if (lower.find("frame") != npos) {
    auto src = lower.find("src");
    start = src == npos ? 0 : src + 3;
    always_take = src != npos && frame != 0;
  } else if (lower.find("meta") != npos) {
    if (meta_charset_.empty()) meta_charset_ = CharsetParameterOf(lower);
    if (lower.find("http-equiv") != npos) {
      auto url = lower.find("url=");
      if (url == npos) return {};
      // From the "=" of "url=", which the cut drops: the first "=" after it
      // may be the target's own query ("url=next.html?a=1").
      start = url + 3;
      always_take = auto_jump != 0;
    } else {
      start = 0;
    }
  } else if (lower.find("form") != npos) {
    auto action = lower.find("action");
    start = action == npos ? 0 : action + 6;
  } else if (auto bg = lower.find("background"); bg != npos && background != 0) {
    start = bg + 10;
  } else {
    return {};
  }
  std::string value = AttributeText(CutValue(tag.substr(start)));
  Accept(value, always_take);
  return value;
}

std::string CPageParser::AttributeText(std::string_view raw) const {
  return DecodeCharRefs(raw, declared_charset.empty() ? meta_charset_ : declared_charset);
}

void CPageParser::Accept(std::string_view value, bool always_take) {
  // The fragment names a place in the file, not another file.
  value = value.substr(0, value.find('#'));
  std::string_view path = value.substr(0, value.find('?'));
  // The extension is the path's; a script address whose query names a file
  // ("jump.cgi?x.jpg") is known by the query's.
  std::string_view extension = ExtensionOf(path);
  if (!HasWholeWord(download_extensions, extension) && !HasWholeWord(page_extensions, extension)) {
    extension = ExtensionOf(value);
  }
  bool is_download = HasWholeWord(download_extensions, extension);
  bool keep = is_download || HasWholeWord(page_extensions, extension) || path.ends_with('/') ||
              value.ends_with('/');
  if (!keep) return;
  if (is_download && always_take_downloads != 0) always_take = true;

  if (found_count_ >= kMaxFoundLinks) return;
  auto resolved = ResolveLink(WithBlanksEscaped(value), base_url);
  if (!resolved) return;
  std::string url = RemoveSecondHttp(std::move(*resolved));
  if (url.size() > kMaxLinkBytes || found_links_.size() + url.size() >= kMaxFoundLinkBytes) return;

  if (!always_take) {
    if (depth_limit != 0 && url.find(site_folder_) != std::string::npos &&
        CountSlashes(url) - site_slashes_ > depth_limit) {
      return;
    }
    switch (scope) {
      case 0:
        break;
      case 1:
        if (url.find(site_host_) == std::string::npos) return;
        break;
      case 2:
        if (url.find(site_folder_) == std::string::npos) return;
        break;
      default:
        return;
    }
  }
  found_links_ += url;
  found_links_ += ' ';
  ++found_count_;
}

std::string CPageParser::NextLink() {
  std::string_view rest = FoundLinks();
  if (!rest.empty() && rest.front() == ' ') {
    rest.remove_prefix(1);
    ++next_link_;
  }
  if (rest.size() <= 1) return {};
  auto blank = rest.find(' ');
  std::string link(rest.substr(0, blank));
  next_link_ += blank == std::string_view::npos ? rest.size() : blank;
  return link;
}

std::string_view CPageParser::FoundLinks() const {
  return std::string_view(found_links_).substr(std::min(next_link_, found_links_.size()));
}

}  // namespace marovine
