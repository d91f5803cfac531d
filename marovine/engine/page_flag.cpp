#include "marovine/engine/page_flag.h"

namespace marovine {

bool IsPageByUrl(std::string_view url, std::string_view page_extensions) {
  if (!url.empty() && url.back() == '/') return true;
  auto dot = url.rfind('.');
  if (dot == std::string_view::npos || dot + 1 >= url.size()) return false;
  // A substring test, as the list has always been matched: "htm" matches
  // "html htm" and so does "ml".
  return page_extensions.find(url.substr(dot + 1)) != std::string_view::npos;
}

bool IsStylesheetUrl(std::string_view url) {
  std::string_view path = url.substr(0, url.find_first_of("?#"));
  if (path.size() < 4) return false;
  std::string_view tail = path.substr(path.size() - 4);
  return tail[0] == '.' && (tail[1] | 0x20) == 'c' && (tail[2] | 0x20) == 's' &&
         (tail[3] | 0x20) == 's';
}

}  // namespace marovine
