// Any bytes a server sends must parse without crashing, and every accepted
// link must be a whole "http://" or "https://" address that cannot end a
// request line early (no CR or LF, written or decoded from a reference).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/page_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view page(reinterpret_cast<const char*>(data), size);
  marovine::CPageParser parser;
  parser.page_extensions = "htm html HTML HTM shtml";
  parser.download_extensions = "jpg jpeg JPG zip";
  parser.site_url = "http://h.example/site/index.html";
  parser.base_url = "http://h.example/site/a/page.html";
  parser.scope = size % 4;
  parser.depth_limit = static_cast<int>(size % 3);
  parser.frame = parser.auto_jump = parser.background = static_cast<int>(size % 2);
  parser.stylesheet = size % 7 == 3 ? 1 : 0;
  parser.ParseText(page);
  for (std::string link = parser.NextLink(); !link.empty(); link = parser.NextLink()) {
    if (!link.starts_with("http://") && !link.starts_with("https://")) std::abort();
    if (link.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  return 0;
}
