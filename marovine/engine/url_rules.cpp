#include "marovine/engine/url_rules.h"

namespace marovine {

namespace {

// Position of the "/" that ends the host, or npos.
std::size_t HostEnd(std::string_view url) {
  if (url.size() <= 8) return std::string_view::npos;
  return url.find('/', 8);
}

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

// Scheme names are case-insensitive: "HTTP" and "HTTPS" are the web's own.
bool IsHttpScheme(std::string_view scheme) {
  if (scheme.size() != 4 && scheme.size() != 5) return false;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    char c = scheme[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != "https"[i]) return false;
  }
  return true;
}

// True for values such as "mailto:x" or "https://h/": a scheme name, then ":",
// before any "/", "?" or "#".
bool HasForeignScheme(std::string_view value) {
  auto colon = value.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(value[i])) return false;
  }
  char first = value[0];
  if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) return false;
  return !IsHttpScheme(value.substr(0, colon));
}

}  // namespace

std::size_t WebSchemeLength(std::string_view url) {
  if (url.starts_with(kHttpPrefix)) return kHttpPrefix.size();
  if (url.starts_with(kSecureHttpPrefix)) return kSecureHttpPrefix.size();
  return 0;
}

std::string AnySchemeNeedle(std::string_view url_prefix) {
  std::size_t scheme = WebSchemeLength(url_prefix);
  if (scheme == 0) return std::string(url_prefix);
  return "://" + std::string(url_prefix.substr(scheme));
}

std::string WithoutUserInfo(std::string_view url) {
  std::size_t scheme = WebSchemeLength(url);
  if (scheme == 0) return std::string(url);
  std::string_view authority = url.substr(scheme);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  auto at = authority.rfind('@');
  if (at == std::string_view::npos) return std::string(url);
  return std::string(url.substr(0, scheme)) + std::string(url.substr(scheme + at + 1));
}

std::string HostPartOf(std::string_view url) {
  auto end = HostEnd(url);
  return std::string(end == std::string_view::npos ? url : url.substr(0, end));
}

std::string UrlFolderOf(std::string_view url) {
  auto pos = url.rfind('/');
  if (pos == std::string_view::npos) return {};
  return std::string(url.substr(0, pos));
}

std::string BaseUrlOf(std::string_view page_url) {
  auto pos = page_url.rfind('/');
  if (pos == std::string_view::npos) return std::string(page_url);
  std::size_t scheme = WebSchemeLength(page_url);
  if (scheme != 0 && pos < scheme && page_url.size() > scheme) {
    return std::string(page_url) + "/";
  }
  return std::string(page_url.substr(0, pos + 1));
}

std::string UrlFileName(std::string_view url) {
  auto pos = url.rfind('/');
  std::string_view name = pos == std::string_view::npos ? url : url.substr(pos + 1);
  if (name.empty()) return "index.html";
  return std::string(name);
}

std::string UrlToFlatName(std::string_view url) {
  std::string bare = WithoutUserInfo(url);
  std::size_t scheme = WebSchemeLength(bare);
  if (scheme == 0) scheme = 7;
  std::string name(bare.size() > scheme ? bare.substr(scheme) : std::string_view{});
  for (char& c : name) {
    if (c == '/' || c == '?' || c == ',' || c == '>' || c == '<') c = '_';
  }
  return name;
}

std::string_view ExtensionOf(std::string_view value) {
  auto pos = value.rfind('.');
  return pos == std::string_view::npos ? value : value.substr(pos + 1);
}

bool HasWholeWord(std::string_view list, std::string_view word) {
  if (word.empty()) return false;
  std::size_t from = 0;
  while ((from = list.find(word, from)) != std::string_view::npos) {
    bool starts = from == 0 || list[from - 1] == ' ';
    std::size_t end = from + word.size();
    bool ends = end == list.size() || list[end] == ' ';
    if (starts && ends) return true;
    ++from;
  }
  return false;
}

std::optional<std::string> ResolveLink(std::string_view value, std::string_view base_url,
                                       bool drop_dot_segments) {
  if (value.starts_with("//")) {
    return (base_url.starts_with(kSecureHttpPrefix) ? "https:" : "http:") + std::string(value);
  }
  if (HasForeignScheme(value)) return std::nullopt;

  std::string base(base_url);
  if (value.starts_with('/')) base = HostPartOf(base_url);

  int climbs = 0;
  while (value.starts_with("../")) {
    value.remove_prefix(3);
    ++climbs;
  }
  while (value.starts_with("./")) value.remove_prefix(2);

  if (climbs > 0 && base.size() >= 2) {
    // Walk back from the second-last character; each "/" passed uses up one
    // climb, and the "/" that ends the host is a floor.
    std::size_t scheme = WebSchemeLength(base);
    std::size_t floor = base.find('/', scheme == 0 ? 7 : scheme);
    std::size_t cut = std::string::npos;
    for (std::size_t i = base.size() - 1; i-- > 0;) {
      if (base[i] != '/') continue;
      if (floor != std::string::npos && i <= floor) {
        cut = floor;
        break;
      }
      if (--climbs == 0) {
        cut = i;
        break;
      }
    }
    if (cut == std::string::npos && floor != std::string::npos) cut = floor;
    if (cut != std::string::npos) base.resize(cut + 1);
  }

  if (drop_dot_segments && value.find("./") != std::string_view::npos) return std::nullopt;
  // Only a value that is an address itself is taken as it stands; one that
  // merely carries an address ("jump.cgi?url=http://...") is a link on this
  // site, and taking it unchanged would make a text that is no URL at all.
  if (IsWebUrl(value)) return std::string(value);
  // Old pages write addresses in capitals; the scheme is made lower case so
  // that every rule after this one knows the address for what it is.
  if (auto colon = value.find("://");
      colon != std::string_view::npos && IsHttpScheme(value.substr(0, colon))) {
    std::string_view prefix = colon == 4 ? kHttpPrefix : kSecureHttpPrefix;
    return std::string(prefix) + std::string(value.substr(prefix.size()));
  }
  return base + std::string(value);
}

std::string RemoveSecondHttp(std::string url) {
  if (url.size() <= 8) return url;
  auto second = url.find(kHttpPrefix, 8);
  if (second == std::string::npos) return url;
  auto host_end = url.find('/', second + kHttpPrefix.size());
  if (host_end == std::string::npos) host_end = url.size();
  url.erase(second, host_end - second);
  return url;
}

}  // namespace marovine
