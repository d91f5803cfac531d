#include "marovine/document/page_reading_plan.h"

#include <exception>
#include <memory>
#include <optional>

#include "marovine/document/crawl_rules.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/link_extraction_request.h"
#include "marovine/engine/page_flag.h"
#include "marovine/engine/url_rules.h"
#include "marovine/engine/work_items.h"
#include "platform/path.h"

namespace marovine {

namespace {

class PageReadingPlan {
 public:
  PageReadingPlan(const DownloadItem& item, const std::string& transfer_path, const LinkItem* owner,
                  const DocumentSettings& settings, const platform::Profile& profile)
      : item_url_(item.url),
        item_path_(item.local_path),
        transfer_path_(transfer_path),
        page_extensions_(settings.page_extensions),
        whole_site_(item.kind == KIND_WHOLE_SITE) {
    // The file and the address it came from are known at the end; the rest
    // of the request now.
    const FetchedPage fetched{{}, {}, item.site_url, {}};
    page_.emplace();
    PrepareLinkExtraction(*page_, fetched, owner, settings, profile);
    if (whole_site_ && IsStylesheetUrl(item_url_)) {
      stylesheet_ = page_;
      stylesheet_->stylesheet = 1;
    }
    if (whole_site_) rewrite_ = WholeSiteRewriteRequest(fetched, settings);
    if (owner != nullptr && owner->mode == MODE_CRAWL && owner->search_level == 3) {
      link_sites_ = page_;
      link_sites_->scope = 0;
      link_sites_->download_extensions = kNoDownloadExtensions;
    }
  }

  std::shared_ptr<PageReading> Read(const FetchedFile& file) const {
    const bool page = IsPageByUrl(item_url_, page_extensions_) || file.page;
    if (!page && !stylesheet_) return nullptr;
    // A mirrored file that did not change is the copy under the item's name;
    // an unchanged mirrored page is read from the original kept beside its
    // rewritten copy, which the scheduler puts back before it looks.
    std::string path = transfer_path_;
    if (whole_site_ && file.status == TS_NOT_MODIFIED) {
      std::string original = item_path_ + std::string(kRefetchSuffix);
      path = page && platform::FileExists(original) ? original : item_path_;
    }
    auto reading = std::make_shared<PageReading>();
    if (page) {
      reading->page = Extract(*page_, path, file);
      if (link_sites_) reading->link_sites = Extract(*link_sites_, path, file);
      if (rewrite_) {
        RewriteRequest request = *rewrite_;
        request.page_url = file.url;
        reading->rewrite = PreparedRewrite::Prepare(std::move(request), path, item_path_);
      }
    } else {
      reading->page = Extract(*stylesheet_, path, file);
    }
    return reading;
  }

 private:
  static LinkExtraction Extract(const CPageParser& prepared, const std::string& path,
                                const FetchedFile& file) {
    LinkExtraction extraction{prepared, {}};
    extraction.request.local_file = path;
    extraction.request.base_url = file.url;
    extraction.request.declared_charset = file.charset;
    extraction.result = extraction.request;
    extraction.result.ParsePage();
    return extraction;
  }

  const std::string item_url_;
  const std::string item_path_;
  const std::string transfer_path_;
  const std::string page_extensions_;
  const bool whole_site_;
  std::optional<CPageParser> page_;
  std::optional<CPageParser> stylesheet_;
  std::optional<CPageParser> link_sites_;
  std::optional<RewriteRequest> rewrite_;  // the page's address is known at the end
};

}  // namespace

bool MayBeReadAsPage(const DownloadItem& item, const DocumentSettings& settings) {
  if (IsPageByUrl(item.url, settings.page_extensions)) return true;
  const bool whole_site = item.kind == KIND_WHOLE_SITE;
  if (whole_site && IsStylesheetUrl(item.url)) return true;
  std::string_view path = std::string_view(item.url).substr(0, item.url.find_first_of("?#"));
  std::string_view name = path.substr(path.rfind('/') + 1);
  if (name.find('.') == std::string_view::npos) return true;
  return !HasWholeWord(whole_site ? settings.whole_site_extensions : settings.crawl_extensions,
                       ExtensionOf(name));
}

PageReader MakePageReader(const DownloadItem& item, const std::string& transfer_path,
                          const LinkItem* owner, const DocumentSettings& settings,
                          const platform::Profile& profile) {
  auto plan =
      std::make_shared<const PageReadingPlan>(item, transfer_path, owner, settings, profile);
  return [plan](const FetchedFile& file) -> std::shared_ptr<PageReading> {
    try {
      return plan->Read(file);
    } catch (const std::exception&) {
      return nullptr;  // the scheduler reads the page itself
    }
  };
}

}  // namespace marovine
