// The whole-site rewriting may change link values and nothing else: with each
// link value (its quotes included) replaced by one mark, the page before and
// after is the same text, and the rewritten page splits into the same tags.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "marovine/engine/html_scanner.h"
#include "marovine/engine/page_rewriter.h"

namespace {

bool IsLinkAttribute(const std::string& name) {
  for (const char* known : {"href", "src", "background", "action", "lowsrc", "longdesc", "cite",
                            "data", "poster", "codebase", "usemap"}) {
    if (name == known) return true;
  }
  return false;
}

class Skeleton : public marovine::HtmlVisitor {
 public:
  explicit Skeleton(std::string_view page) : page_(page) {}
  std::string Run() {
    marovine::ScanHtml(page_, *this);
    text_.append(page_.substr(copied_));
    return text_;
  }
  void OnTag(const marovine::HtmlTag& tag) override {
    for (const auto& attribute : tag.attributes) {
      if (!attribute.has_value) continue;
      if (attribute.name == "srcset") {
        for (auto span : marovine::SrcsetUrls(attribute.value)) {
          Mark(attribute.value_begin + span.begin, span.size);
        }
      } else if (attribute.name == "content" && tag.name == "meta") {
        auto span = marovine::RefreshUrl(attribute.value);
        if (span.size > 0) Mark(attribute.value_begin + span.begin, span.size);
      } else if (IsLinkAttribute(attribute.name)) {
        std::size_t quotes = attribute.quote != 0 ? 1 : 0;
        Mark(attribute.value_begin - quotes, attribute.value.size() + 2 * quotes);
      }
    }
  }

 private:
  void Mark(std::size_t begin, std::size_t size) {
    if (begin < copied_) return;
    text_.append(page_.substr(copied_, begin - copied_));
    text_ += '\x01';
    copied_ = begin + size;
  }
  std::string_view page_;
  std::size_t copied_ = 0;
  std::string text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view page(reinterpret_cast<const char*>(data), size);
  marovine::RewriteRequest request;
  request.page_url = "http://h.example/site/a/b/page.html";
  request.site_url = "http://h.example/site/index.html";
  request.page_extensions = "htm html HTML";
  request.download_extensions = "jpg jpeg";
  request.drop_other = size % 2 == 1;
  request.another_server = size % 3 == 1;
  if (size % 5 == 1) request.arrived = [](const std::string& url) { return url.size() % 2 == 0; };
  std::string out = marovine::RewritePageText(request, page);
  std::string before = Skeleton(page).Run();
  std::string after = Skeleton(out).Run();
  if (after != before) {
    std::size_t at = 0;
    while (at < before.size() && at < after.size() && before[at] == after[at]) ++at;
    std::fprintf(stderr, "differs at %zu:\nbefore: %s\nafter:  %s\n", at,
                 before.substr(at > 40 ? at - 40 : 0, 120).c_str(),
                 after.substr(at > 40 ? at - 40 : 0, 120).c_str());
    std::abort();
  }
  return 0;
}
