#include "marovine/engine/page_reading.h"

#include <tuple>

namespace marovine {

namespace {

auto RequestFields(const CPageParser& p) {
  return std::tie(p.download_extensions, p.page_extensions, p.site_url, p.base_url,
                  p.declared_charset, p.drop_other, p.depth_limit, p.background,
                  p.always_take_downloads, p.scope, p.auto_jump, p.frame, p.stylesheet);
}

}  // namespace

bool SameExtractionRequest(const CPageParser& a, const CPageParser& b) {
  return RequestFields(a) == RequestFields(b);
}

}  // namespace marovine
