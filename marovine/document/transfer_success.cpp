// A transfer that ended well: a file is counted and logged, a page is read for
// its title and links, and then deleted (crawl mode) or rewritten for offline
// browsing (whole-site mode).

#include <cstdio>
#include <memory>

#include "marovine/document/crawl_rules.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/link_extraction_request.h"
#include "marovine/document/link_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/ram_file.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/site_history_file.h"
#include "marovine/engine/page_flag.h"
#include "marovine/engine/page_parser.h"
#include "marovine/engine/page_rewriter.h"
#include "marovine/engine/prepared_rewrite.h"
#include "marovine/engine/safe_name.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {

namespace {

constexpr std::size_t kTitleRowCharacters = 100;

// The first `count` characters of a UTF-8 text, never half a character.
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

[[nodiscard]] bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

// The page of a mirror as the transfer's thread rewrote it, when it was
// rewritten as it would be now.
std::unique_ptr<PreparedRewrite> TakePreparedRewrite(TransferSlot& slot, const DownloadItem& item,
                                                     const DocumentSettings& settings) {
  if (slot.page_reading == nullptr || slot.page_reading->rewrite == nullptr) return nullptr;
  const FetchedPage fetched{item.local_path, slot.url, item.site_url, slot.charset};
  std::unique_ptr<PreparedRewrite> prepared = std::move(slot.page_reading->rewrite);
  if (!SameRewriteRequest(prepared->request(), WholeSiteRewriteRequest(fetched, settings))) {
    return nullptr;  // the settings changed meanwhile: its files go with it
  }
  return prepared;
}

}  // namespace

void CrawlScheduler::Succeeded(int a) {
  TransferSlot& slot = slots_[a];
  const int i = slot.item_index;
  const bool not_modified = slot.status == TS_NOT_MODIFIED;
  const std::string item_path = doc_.download_items[i].local_path;
  const std::string kept_original = item_path + std::string(kRefetchSuffix);
  const bool page =
      IsPageByUrl(doc_.download_items[i].url, doc_.settings.page_extensions) || slot.page_flag != 0;
  const bool mirrored_page = page && doc_.download_items[i].kind == KIND_WHOLE_SITE;
  std::unique_ptr<PreparedRewrite> prepared =
      mirrored_page ? TakePreparedRewrite(slot, doc_.download_items[i], doc_.settings) : nullptr;

  // A mirrored file fetched again beside its copy replaces the copy only now.
  if (slot.local_path == item_path + std::string(kUpdateSuffix)) {
    if (not_modified) {
      (void)platform::RemoveFile(slot.local_path);  // a leftover beside the unchanged copy
      slot.local_path = item_path;
    } else {
      // The original kept beside the old copy is that copy's: it is replaced
      // or removed before the new copy takes the name, or an unchanged answer
      // later would bring the old page back from it.
      if (mirrored_page && !(prepared && prepared->PlaceOriginal())) {
        prepared.reset();
        (void)platform::RemoveFile(kept_original);
      }
      if (RenameFile(slot.local_path, item_path)) slot.local_path = item_path;
    }
  }

  hooks_->PlayEventSound(SOUND_FILE_FETCHED);
  if (doc_.settings.quick_view_after_download != 0) hooks_->ShowInQuickView(slot.local_path);
  if (slot.local_path.find(".ram") != std::string::npos && FindLinkFromRamFile(doc_.profile)) {
    if (auto text = platform::ReadWholeFile(slot.local_path)) {
      for (const auto& url : RealMediaLinks(*text)) doc_.RegisterUrl(url);
    }
  }
  SetDownloadImage(IMAGE_DONE, i);

  const int kind = doc_.download_items[i].kind;
  const std::string site_url = doc_.download_items[i].site_url;
  const int owner = site_url.empty() ? -1 : doc_.FindLink(site_url);
  // An unchanged file keeps the entry of the fetch that brought it.
  if (kind == KIND_WHOLE_SITE && owner >= 0 && !not_modified &&
      !doc_.link_items[owner].history_path.empty()) {
    WriteSiteHistoryEntry(log_writes_, doc_.link_items[owner].history_path,
                          doc_.download_items[i].url, slot.last_modified, slot.received);
  }

  if (!page) {
    for (std::size_t k = 0; k < doc_.link_items.size(); ++k) {
      if (doc_.link_items[k].state != LS_SEARCHING) continue;
      ++doc_.link_items[k].file_count;
      doc_.SetLinkRowCount(static_cast<int>(k));
      break;
    }
    // A retried re-fetch was parked beside the item's name; the file is the
    // user's under that name.
    if (slot.local_path == item_path + std::string(kRefetchSuffix) &&
        RenameFile(slot.local_path, item_path)) {
      slot.local_path = item_path;
    }
    // A mirrored stylesheet names the pictures and fonts it needs as a page
    // does; it is kept as it came.
    if (kind == KIND_WHOLE_SITE && IsStylesheetUrl(doc_.download_items[i].url)) {
      FetchedPage fetched{slot.local_path, slot.url, site_url, slot.charset};
      CPageParser parser;
      PrepareLinkExtraction(parser, fetched, owner >= 0 ? &doc_.link_items[owner] : nullptr,
                            doc_.settings, doc_.profile);
      parser.stylesheet = 1;
      ExtractLinks(a, parser, &PageReading::page);
      if (FollowLinks(a, parser, owner)) return;
    }
  } else {
    SetDownloadImage(IMAGE_PAGE, i);
    doc_.download_items[i].state = DS_PAGE_DONE;
    if (kind == KIND_WHOLE_SITE && not_modified) {
      // The page as the server sent it was kept beside the rewritten one.
      // The rename replaces the rewritten page in one step; when it fails,
      // the rewritten page stays rather than leaving no page at all.
      // A page left rewritten is not what the transfer's thread read.
      if (platform::FileExists(kept_original) && !RenameFile(kept_original, slot.local_path)) {
        slot.page_reading.reset();
        prepared.reset();
      } else if (prepared && !prepared->PlaceOriginal()) {
        prepared.reset();
      }
    }
    FetchedPage fetched{slot.local_path, slot.url, site_url, slot.charset};
    CPageParser parser;
    PrepareLinkExtraction(parser, fetched, owner >= 0 ? &doc_.link_items[owner] : nullptr,
                          doc_.settings, doc_.profile);
    ExtractLinks(a, parser, &PageReading::page);
    if (owner >= 0 && doc_.link_items[owner].title.empty()) TakeTitle(owner, parser.title);

    const bool link_site_search = owner >= 0 && doc_.link_items[owner].mode == MODE_CRAWL &&
                                  doc_.link_items[owner].search_level == 3;
    if (kind == KIND_CRAWL && !link_site_search) {
      (void)platform::RemoveFile(slot.local_path);  // a crawled page is only read for links
    } else if (kind == KIND_WHOLE_SITE) {
      // Rewritten on the transfer's thread when that still holds; the page
      // is rewritten here otherwise.
      const bool ready = prepared && slot.local_path == item_path && prepared->PlacePage();
      if (ready ||
          RewriteSavedPage(WholeSiteRewriteRequest(fetched, doc_.settings), slot.local_path)) {
        mirrored_pages_.push_back({slot.local_path, slot.url, site_url});
      }
    }
    if (FollowLinks(a, parser, owner)) return;
    if (link_site_search) SearchLinkSites(a, owner);
  }

  const DownloadItem finished = doc_.download_items[i];
  bool removed = false;
  if (doc_.settings.clear_item_after_download != 0) {
    doc_.RemoveDownloadItem(i);
    removed = true;
  }
  if (!page) {
    if (kind == KIND_CRAWL) RecordInDownloadLog(a, finished);
    // Nothing arrived for an unchanged file.
    if (!not_modified) {
      pending_totals_.bytes += slot.received > 0 ? slot.received : 0;
      pending_totals_.files += 1;
    }
  }
  engine_.ResetTransferSlot(a, slot);
  if (!removed) doc_.download_items[i].state = DS_DONE;
}

void CrawlScheduler::TakeTitle(int owner, const std::string& found) {
  // A page without a title shows the untitled text; what follows from it
  // goes by the missing title, never by that text, which a page may carry.
  const bool untitled = found.empty();
  std::string title = untitled ? std::string(kUntitledText) : found;
  ViewHint hint;
  hint.code = HINT_SET_TITLE;
  hint.row_b = owner;
  hint.text1 = FirstCharacters(title, kTitleRowCharacters);
  doc_.Broadcast(hint);
  LinkItem& link = doc_.link_items[owner];
  link.title = title;
  if (link.mode == MODE_WHOLE_SITE) {
    if (doc_.settings.write_heading_html == 0 || untitled) return;
    std::string root = link.folder;
    while (root.size() > 1 && root.back() == platform::kPathSeparator) root.pop_back();
    std::string heading = root + ".html";
    std::string named = platform::FolderOf(heading) +
                        SanitizeNameComponent(title + "_" + platform::NameOf(heading));
    if (!platform::FileExists(heading)) return;
    if (platform::FileExists(named)) {
      (void)platform::RemoveFile(heading);  // a second copy of the same heading
    } else {
      (void)RenameFile(heading, named);  // failing, it keeps the name it was fetched under
    }
  } else if (doc_.settings.make_title_folder != 0) {
    link.folder = platform::WithTrailingSeparator(link.folder) + TitleFolderName(found, link.url) +
                  platform::kPathSeparator;
  }
}

}  // namespace marovine
