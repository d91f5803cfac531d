#include "marovine/document/link_extraction_request.h"

#include "marovine/document/document_settings.h"
#include "marovine/document/settings_keys.h"
#include "marovine/engine/work_items.h"

namespace marovine {

void PrepareLinkExtraction(CPageParser& parser, const FetchedPage& page, const LinkItem* owner,
                           const DocumentSettings& settings, const platform::Profile& profile) {
  parser.local_file = page.local_path;
  parser.base_url = page.url;
  parser.site_url = page.site_url;
  parser.declared_charset = page.declared_charset;
  parser.page_extensions = settings.page_extensions;
  parser.frame = settings.follow_frames;
  parser.auto_jump = settings.follow_auto_jumps;
  parser.depth_limit = settings.max_link_depth;
  parser.drop_other = settings.cut_unfetched_links;

  bool whole_site = owner != nullptr && owner->mode == MODE_WHOLE_SITE;
  bool link_site_search = owner != nullptr && !whole_site && owner->search_level == 3;

  parser.scope = (owner == nullptr || whole_site || link_site_search) ? 2 : owner->search_level;
  if (owner == nullptr) {
    parser.download_extensions = settings.unowned_page_extensions;
  } else if (whole_site) {
    parser.download_extensions = settings.whole_site_extensions;
  } else if (link_site_search) {
    parser.download_extensions = kNoDownloadExtensions;
  } else {
    parser.download_extensions = GroupExtensions(profile, owner->group);
  }
  parser.always_take_downloads =
      whole_site ? settings.fetch_from_other_servers : settings.take_extensions_always;
  parser.background = whole_site ? settings.fetch_wallpapers : 0;
}

RewriteRequest WholeSiteRewriteRequest(const FetchedPage& page, const DocumentSettings& settings) {
  RewriteRequest request;
  request.page_url = page.url;
  request.site_url = page.site_url;
  request.declared_charset = page.declared_charset;
  request.page_extensions = settings.page_extensions;
  request.download_extensions = settings.whole_site_extensions;
  request.drop_other = settings.cut_unfetched_links != 0;
  request.another_server = settings.fetch_from_other_servers != 0;
  return request;
}

}  // namespace marovine
