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

// Scheme names are case-insensitive: "HTTP" is the web's own.
bool IsHttpScheme(std::string_view scheme) {
  if (scheme.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    char c = scheme[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != "http"[i]) return false;
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
  if (page_url.starts_with(kHttpPrefix) && pos < kHttpPrefix.size() &&
      page_url.size() > kHttpPrefix.size()) {
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
  std::string name(url.size() > 7 ? url.substr(7) : std::string_view{});
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
  if (value.starts_with("//")) return "http:" + std::string(value);
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
    std::size_t floor = base.find('/', 7);
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
  if (value.starts_with(kHttpPrefix)) return std::string(value);
  // Old pages write addresses in capitals; the scheme is made "http://" so
  // that every rule after this one knows the address for what it is.
  if (value.size() >= kHttpPrefix.size() && value.substr(4, 3) == "://" &&
      IsHttpScheme(value.substr(0, 4))) {
    return std::string(kHttpPrefix) + std::string(value.substr(kHttpPrefix.size()));
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
