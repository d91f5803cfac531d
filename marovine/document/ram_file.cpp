#include "marovine/document/ram_file.h"

namespace marovine {

namespace {

// Lines longer than this were never read whole.
constexpr std::size_t kMaxLineBytes = 499;

}  // namespace

std::vector<std::string> RealMediaLinks(std::string_view text) {
  std::vector<std::string> links;
  while (!text.empty()) {
    auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.size() > kMaxLineBytes) line = line.substr(0, kMaxLineBytes);
    // Only the line end goes: a last line without one keeps its last letter.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto start = line.find("http://");
    if (start == std::string_view::npos) continue;
    line.remove_prefix(start);
    for (std::string_view stop : {" ", "　", "<", ">", "\"", "～", "（"}) {
      line = line.substr(0, line.find(stop));
    }
    if (line.find(".rm") != std::string_view::npos || line.find(".ra") != std::string_view::npos) {
      links.emplace_back(line);
    }
  }
  return links;
}

}  // namespace marovine
