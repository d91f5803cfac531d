#pragma once

#include <string>

#include "marovine/engine/page_parser.h"
#include "marovine/engine/page_rewriter.h"

namespace platform {
class Profile;
}

namespace marovine {

struct DocumentSettings;
struct LinkItem;

// What the scheduler knows about one fetched page.
struct FetchedPage {
  std::string local_path;        // where the page was saved
  std::string url;               // the address it came from
  std::string site_url;          // the download item's site URL
  std::string declared_charset;  // from the HTTP head, when the transfer kept it
};

// The download extensions of a link-site search (level 3): a word that
// matches no extension, so that only pages are taken.
inline constexpr const char* kNoDownloadExtensions = "DammDammy";

// Configures a parser for one fetched page from the owning link (nullptr for a
// page without one) and the settings: crawl mode searches by the link's level
// and extension group, whole-site mode and level 3 by the site's folder.
void PrepareLinkExtraction(CPageParser& parser, const FetchedPage& page, const LinkItem* owner,
                           const DocumentSettings& settings, const platform::Profile& profile);

// The rewriting request for a saved whole-site page.
RewriteRequest WholeSiteRewriteRequest(const FetchedPage& page, const DocumentSettings& settings);

}  // namespace marovine
