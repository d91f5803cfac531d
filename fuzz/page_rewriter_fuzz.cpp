// The whole-site rewriting may change quoted values inside tags and nothing
// else: walking input and output side by side, every other byte is equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/page_rewriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view page(reinterpret_cast<const char*>(data), size);
  marovine::RewriteRequest request;
  request.page_url = "http://h.example/site/a/b/page.html";
  request.site_url = "http://h.example/site/index.html";
  request.page_extensions = "htm html HTML";
  request.download_extensions = "jpg jpeg";
  request.drop_other = size % 2 == 1;
  request.another_server = size % 3 == 1;
  std::string out = marovine::RewritePageText(request, page);

  std::size_t i = 0;  // in the page
  std::size_t o = 0;  // in the output
  bool in_tag = false;
  auto expect_byte = [&](char c) {
    if (o >= out.size() || out[o] != c) std::abort();
    ++o;
  };
  while (i < page.size()) {
    char c = page[i];
    if (in_tag && (c == '"' || c == '\'')) {
      auto close = page.find(c, i + 1);
      if (close == std::string_view::npos) {
        for (; i < page.size(); ++i) expect_byte(page[i]);
        break;
      }
      expect_byte(c);
      std::string value = marovine::RewriteLinkValue(request, page.substr(i + 1, close - i - 1));
      if (value.find(c) != std::string::npos) std::abort();  // would break the tag open
      if (out.compare(o, value.size(), value) != 0) std::abort();
      o += value.size();
      expect_byte(c);
      i = close + 1;
      continue;
    }
    expect_byte(c);
    in_tag = in_tag ? c != '>' : c == '<';
    ++i;
  }
  if (o != out.size()) std::abort();
  return 0;
}
