#include "marovine/document/url_extraction.h"

#include <algorithm>
#include <array>

namespace marovine {

namespace {

constexpr std::array<std::string_view, 7> kUrlEnds = {
    " ", "\xE3\x80\x80" /* 　 */, "<", ">", "\"", "\xEF\xBD\x9E" /* ～ */, "\xEF\xBC\x88" /* （ */};

}  // namespace

std::string ExtractUrl(std::string_view line, UrlTextSource source) {
  auto start = line.find("http://");
  if (start == std::string_view::npos) return {};
  std::string_view url = line.substr(start);
  for (std::string_view end : kUrlEnds) url = url.substr(0, url.find(end));
  if (source == UrlTextSource::kClipboard) url = url.substr(0, url.find('('));
  auto control = std::find_if(url.begin(), url.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
  url = url.substr(0, static_cast<std::size_t>(control - url.begin()));
  // The scheme alone names no site.
  if (url.size() == std::string_view("http://").size()) return {};
  return std::string(url);
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    auto feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (feed == std::string_view::npos) break;
    text.remove_prefix(feed + 1);
  }
  return lines;
}

}  // namespace marovine
