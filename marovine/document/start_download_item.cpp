// Filling a transfer slot from a download item and starting it.

#include <algorithm>
#include <climits>

#include "marovine/document/crawl_rules.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/page_reading_plan.h"
#include "marovine/document/site_history_file.h"
#include "marovine/engine/proxy_settings.h"
#include "platform/path.h"

namespace marovine {

namespace {

int TimeoutMs(int seconds) {
  if (seconds <= 0) return 0;
  return seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000;
}

}  // namespace

void CrawlScheduler::StartDownloadItem(int slot, int index) {
  StartDownloadItemVia(slot, index, nullptr);
}

void CrawlScheduler::StartDownloadItemVia(int a, int i, const std::string* proxy) {
  if (a < 0 || a >= kTransferSlotCount || i < 0 ||
      i >= static_cast<int>(doc_.download_items.size())) {
    return;
  }
  TransferSlot& slot = slots_[a];
  const bool fresh = slot.status == TS_IDLE;
  doc_.settings.no_end_when_start = 0;
  DialUpKeepCheck();

  DownloadItem& item = doc_.download_items[i];
  const bool first_try = item.state == DS_WAITING;
  int owner = item.site_url.empty() ? -1 : doc_.FindLink(item.site_url);

  // An item a busy server sent away keeps the retries it has used.
  if (auto held = held_retry_counts_.find(item.url); held != held_retry_counts_.end()) {
    slot.RetryCount = held->second;
    held_retry_counts_.erase(held);
  }
  // So does one that waited for its retry off the slot, and it goes through
  // the proxy chosen when it failed.
  std::string retry_proxy;
  if (auto waited = pending_retries_.find(item.url);
      waited != pending_retries_.end() && item.state == DS_RETRY_WAIT) {
    slot.RetryCount = waited->second.retry_count;
    retry_proxy = std::move(waited->second.proxy);
    if (proxy == nullptr) proxy = &retry_proxy;
    pending_retries_.erase(waited);
  }
  slot.status = TS_RUNNING;
  slot.item_index = i;
  slot.url = item.url;
  slot.proxy = proxy != nullptr ? *proxy : proxies_.NextProxy(doc_.proxy_settings);
  slot.no_cache = slot.proxy.empty() ? 0 : doc_.settings.proxy_no_cache;
  slot.user_agent = UserAgentText(doc_.settings);
  slot.referer = item.referer;
  slot.minimum_size = 0;
  slot.maximum_size = 0;
  slot.page_extensions = doc_.settings.page_extensions;
  slot.timeout_ms = TimeoutMs(doc_.settings.timeout_seconds);
  slot.slot_number = a;
  slot.resume_policy = doc_.settings.cant_retry_first;
  slot.banner_list_path = doc_.paths.banner_list_path;
  slot.log_folder = doc_.paths.folder;
  slot.last_modified.clear();
  slot.free_host_cut = doc_.settings.free_host_page_cut;
  slot.send_referer = doc_.settings.send_referer;
  slot.banner_check = doc_.settings.skip_banners;
  // A stop request left on a free slot by "stop all" is not meant for the
  // transfers of a crawl started again.
  if (fresh) slot.stop_request = 0;
  // A retried item has passed the log check already.
  slot.check_log = item.kind == KIND_CRAWL && doc_.settings.skip_files_in_log != 0 && first_try;

  bool target_absent = false;
  if (item.kind != KIND_WHOLE_SITE && first_try) {
    // A first try owns no file yet: it moves off a name another item holds
    // (a list read from a file may have two) and, where renaming applies, off
    // a file already on disk.
    const bool rename_existing =
        (item.kind == KIND_CRAWL && doc_.settings.auto_rename != 0) || item.start_page == 1;
    const std::string& own = item.local_path;
    const bool move_off = doc_.reserved_names_.HeldByOther(own, own) ||
                          (rename_existing && platform::FileExists(own));
    if (move_off) doc_.SetItemLocalPath(i, doc_.reserved_names_.FreeName(own, own, true));
    // Then the name is known free on disk: a new one is chosen among names
    // free there, and where renaming applies the old one was just looked at.
    target_absent = move_off || rename_existing;
  }
  // The item holds the final name from now on.
  slot.local_path = item.local_path;
  slot.target_absent = target_absent;
  if (item.kind == KIND_CRAWL || item.start_page == 1) {
    slot.maximum_size = MaximumFileBytes(doc_.settings);
    slot.minimum_size = MinimumFileBytes(doc_.settings);
    if (item.start_page == 1 && !ContainsText(item.url, kFreeHostDomainWord)) {
      slot.local_path += kRefetchSuffix;
      slot.target_absent = false;
    }
  }

  item.state = DS_RUNNING;
  slot.credentials = owner >= 0 ? doc_.link_items[owner].credentials : std::string();

  if (item.kind == KIND_WHOLE_SITE) {
    std::string recorded;
    if (owner >= 0 && !doc_.link_items[owner].history_path.empty()) {
      recorded = ReadSiteHistoryDate(log_writes_, doc_.link_items[owner].history_path, item.url);
    }
    if (doc_.settings.fetch_updated_only != 0) slot.last_modified = recorded;
    if (doc_.settings.whole_site_limit_huge != 0) {
      slot.maximum_size = WholeSiteMaximumFileBytes(doc_.settings);
    }
    // A mirrored file arrives beside its name and takes the name only when
    // it is whole, so a file under its name is always a finished copy, never
    // a part to resume onto (which would append the server's tail to a page
    // rewritten for offline browsing). Parts are resumed beside it.
    slot.local_path = item.local_path + std::string(kUpdateSuffix);
    slot.target_absent = false;
    // A left-over part of an earlier run is no part of this one.
    // One that cannot be removed is resumed onto, as any part beside the copy.
    if (first_try) (void)platform::RemoveFile(slot.local_path);
  }

  if (defer_launches_) {
    deferred_launches_.push_back(a);
  } else {
    LaunchTransfer(a);
  }
}

void CrawlScheduler::LaunchTransfer(int a) {
  TransferSlot& slot = slots_[a];
  requested_urls_[a] = slot.url;
  redirect_chains_[a].clear();
  engine_.SetWorkerSettings(doc_.worker_settings);
  PreparePageReading(a);
  engine_.StartTransferThread(slot);
  SetDownloadImage(IMAGE_RUNNING, slot.item_index);
}

void CrawlScheduler::LaunchDeferredTransfers() {
  defer_launches_ = false;
  if (deferred_launches_.empty()) return;
  // A transfer may create its file at once: the saved list must name the
  // item as running first, or a crash would leave a part nobody resumes.
  SaveDocumentIfChanged();
  std::vector<int> launches;
  launches.swap(deferred_launches_);
  for (int a : launches) LaunchTransfer(a);
}

void CrawlScheduler::RestartInPlace(int a) {
  // The slot keeps its address (a redirect's new one, or a re-fetch's link).
  // The status is reset so that the engine takes the address from the slot.
  TransferSlot& slot = slots_[a];
  DialUpKeepCheck();
  slot.status = TS_RUNNING;
  requested_urls_[a] = slot.url;
  engine_.SetWorkerSettings(doc_.worker_settings);
  PreparePageReading(a);
  engine_.StartTransferThread(slot);
}

void CrawlScheduler::PreparePageReading(int a) {
  TransferSlot& slot = slots_[a];
  slot.page_reading.reset();
  if (!SlotHasItem(a)) {
    slot.page_reader = nullptr;
    return;
  }
  const DownloadItem& item = doc_.download_items[slot.item_index];
  if (!MayBeReadAsPage(item, doc_.settings)) {
    slot.page_reader = nullptr;
    return;
  }
  const int owner = item.site_url.empty() ? -1 : doc_.FindLink(item.site_url);
  slot.page_reader =
      MakePageReader(item, slot.local_path, owner >= 0 ? &doc_.link_items[owner] : nullptr,
                     doc_.settings, doc_.profile);
}

void CrawlScheduler::ExtractLinks(int a, CPageParser& parser,
                                  std::optional<LinkExtraction> PageReading::*pass) {
  const std::shared_ptr<PageReading>& reading = slots_[a].page_reading;
  if (reading != nullptr) {
    std::optional<LinkExtraction>& read = (*reading).*pass;
    if (read && SameExtractionRequest(read->request, parser)) {
      parser = std::move(read->result);
      read.reset();
      return;
    }
  }
  // Not read on the transfer's thread, or with what no longer holds.
  parser.ParsePage();
}

}  // namespace marovine
