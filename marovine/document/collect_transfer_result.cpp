// What becomes of an item when its transfer has ended: done, retried,
// redirected or failed. Success has a file of its own (transfer_success.cpp).

#include <algorithm>

#include "marovine/document/crawl_rules.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/engine/download_log.h"
#include "marovine/engine/page_flag.h"
#include "marovine/engine/proxy_settings.h"
#include "marovine/engine/site_log_paths.h"
#include "marovine/engine/url_rules.h"
#include "platform/path.h"
#include "platform/profile.h"

namespace marovine {

namespace {

constexpr const char* kInLogStopped = "ログに存在します。中止しました。";
constexpr const char* kBadRedirect = "リダイレクト先のURLが不正です。中止しました。";
constexpr const char* kRedirectLoop = "リダイレクトがループしています。中止しました。";
constexpr const char* kTooManyRedirects = "リダイレクトが多すぎます。中止しました。";
// Browsers follow about twenty; real sites need a few.
constexpr std::size_t kMaxRedirects = 10;

bool HasControlBytes(std::string_view text) {
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7f) return true;
  }
  return false;
}

// The address a Location header leads to, or nothing when it cannot be
// fetched: only "http://" and "https://" addresses are, and a relative one is
// taken relative to the address that was redirected.
std::optional<std::string> RedirectTarget(const std::string& location, const std::string& from) {
  if (location.empty() || HasControlBytes(location)) return std::nullopt;
  if (IsWebUrl(location)) return location;
  if (location.find(':') != std::string::npos &&
      location.find(':') < location.find_first_of("/?#")) {
    return std::nullopt;  // another scheme
  }
  if (!IsWebUrl(from)) return std::nullopt;
  auto resolved = ResolveLink(location, BaseUrlOf(from), false);
  if (!resolved || !IsWebUrl(*resolved) || HasControlBytes(*resolved)) {
    return std::nullopt;
  }
  return resolved;
}

}  // namespace

void CrawlScheduler::CollectTransferResult(int a) {
  if (a < 0 || a >= kTransferSlotCount) return;
  // The other slots are looked at when their own ends are collected.
  engine_.SyncTransferSlot(slots_[a]);
  if (slots_[a].status != TS_IDLE && !slots_[a].url.empty()) ShowSlotProgress(a);
  if (!SlotHasItem(a)) {
    // The item went while its transfer ran; there is nothing to update.
    engine_.ResetTransferSlot(a, slots_[a]);
    return;
  }
  WriteDetailLog(a);
  switch (slots_[a].status) {
    case TS_DONE:
    case TS_NOT_MODIFIED:
      Succeeded(a);
      break;
    case TS_CONNECT_RETRY:
      RetryAfterConnectError(a);
      break;
    case TS_TIMEOUT:
    case TS_INCOMPLETE:
      RetryAfterBrokenTransfer(a);
      break;
    case TS_REDIRECTED:
      FollowRedirect(a);
      break;
    case TS_SIZE_REJECTED:
      RejectForSize(a);
      break;
    case TS_IN_LOG:
      FoundInLog(a);
      break;
    case TS_STOPPED:
      Stopped(a);
      break;
    default:
      Failed(a);
      break;
  }
}

void CrawlScheduler::WriteDetailLog(int a) {
  if (doc_.settings.write_site_detail_log == 0) return;
  const TransferSlot& slot = slots_[a];
  const DownloadItem& item = doc_.download_items[slot.item_index];
  std::string log = SiteDetailLogPath(doc_.paths.log_folder, item.site_url);
  // A mirrored file arrives beside its name and is logged under the name it
  // takes.
  const std::string& stored = slot.local_path == item.local_path + std::string(kUpdateSuffix)
                                  ? item.local_path
                                  : slot.local_path;
  std::string section = platform::NameOf(stored);
  // The file view reads the keys in this order.
  log_writes_.Write(log, section, "Url", WithoutUserInfo(slot.url));
  log_writes_.Write(log, section, "Refer", WithoutUserInfo(slot.referer));
  log_writes_.Write(log, section, "Message", slot.status_text);
  log_writes_.Write(log, section, "FilePass", stored);
  log_writes_.Write(log, section, "ModifiedDate", slot.last_modified);
  log_writes_.Write(log, section, "FileSize", std::to_string(slot.received));
}

void CrawlScheduler::RecordInDownloadLog(int a, const DownloadItem& item) {
  const TransferSlot& slot = slots_[a];
  std::string date = doc_.settings.log_modified_date != 0 ? slot.last_modified : std::string();
  std::int64_t size = doc_.settings.log_file_size != 0 ? slot.expected_size : 0;
  RecordLog2(platform::JoinPath(doc_.paths.folder, "log2.dat"), Log2Key(item.referer),
             Log2EntryName(item.url, item.referer), date, size);
}

void CrawlScheduler::GiveUp(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  doc_.download_items[i].state = DS_ERROR;
  SetDownloadImage(IMAGE_ERROR, i);
  // A part that arrived stays for a later resume. A transfer that never got
  // through (a refused connection) reports nothing received although the file
  // may hold an earlier part or copy, so only an empty leftover goes.
  if (slot.received == 0 && platform::FileSizeOf(slot.local_path).value_or(0) == 0) {
    (void)platform::RemoveFile(slot.local_path);  // an empty leftover; harmless if it stays
  }
  engine_.ResetTransferSlot(a, slot);
}

void CrawlScheduler::RetryAfterConnectError(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  if (doc_.settings.retry_failed_files == 0 &&
      !IsPageByUrl(doc_.download_items[i].url, doc_.settings.page_extensions)) {
    GiveUp(a);
    return;
  }
  ++slot.RetryCount;
  ShowSlotProgress(a);
  if (slot.RetryCount > doc_.settings.retry_limit || doc_.download_items[i].state != DS_RUNNING) {
    GiveUp(a);
    return;
  }
  if (crawl_running_ != 0) {
    std::string proxy = slot.proxy;
    if (!proxy.empty()) proxy = proxies_.ProxyAfterError(doc_.proxy_settings, proxy);
    if (slot.retry_wait > 0) {
      WaitForRetryOffSlot(a, proxy);
    } else {
      StartDownloadItemVia(a, i, &proxy);
    }
  } else {
    engine_.ResetTransferSlot(a, slot);
    doc_.download_items[i].state = DS_RETRY_WAIT;
    SetDownloadImage(IMAGE_RETRY_WAIT, i);
  }
}

void CrawlScheduler::RetryAfterBrokenTransfer(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  if (doc_.settings.retry_failed_files == 0 &&
      !IsPageByUrl(doc_.download_items[i].url, doc_.settings.page_extensions)) {
    engine_.ResetTransferSlot(a, slot);
    doc_.download_items[i].state = DS_ERROR;
    SetDownloadImage(IMAGE_ERROR, i);
    return;
  }
  ++slot.RetryCount;
  ShowSlotProgress(a);
  if (slot.RetryCount > doc_.settings.retry_limit) {
    GiveUp(a);
  } else if (slot.retry_after > 0) {
    // The server said when to come back: the item waits in the list, and
    // the tick starts it (or another of its host) only then. A stop in the
    // meantime keeps it waiting.
    HoldHost(doc_.download_items[i].url, slot.retry_after);
    held_retry_counts_[doc_.download_items[i].url] = slot.RetryCount;
    engine_.ResetTransferSlot(a, slot);
    doc_.download_items[i].state = DS_RETRY_WAIT;
    SetDownloadImage(IMAGE_RETRY_WAIT, i);
  } else if (crawl_running_ != 0 && slot.retry_wait > 0) {
    WaitForRetryOffSlot(a, slot.proxy);
  } else if (crawl_running_ != 0) {
    std::string proxy = slot.proxy;
    StartDownloadItemVia(a, i, &proxy);
  } else {
    engine_.ResetTransferSlot(a, slot);
    doc_.download_items[i].state = DS_RETRY_WAIT;
    SetDownloadImage(IMAGE_RETRY_WAIT, i);
  }
}

void CrawlScheduler::HoldHost(const std::string& url, int seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  auto& held = host_holds_[AnySchemeNeedle(HostPartOf(url))];
  held = std::max(held, until);
}

bool CrawlScheduler::HostIsHeld(const std::string& url, std::chrono::steady_clock::time_point now) {
  if (host_holds_.empty()) return false;
  auto it = host_holds_.find(AnySchemeNeedle(HostPartOf(url)));
  if (it == host_holds_.end()) return false;
  if (now < it->second) return true;
  host_holds_.erase(it);
  return false;
}

void CrawlScheduler::WaitForRetryOffSlot(int a, const std::string& proxy) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  auto due = std::chrono::steady_clock::now() + std::chrono::seconds(slot.retry_wait);
  pending_retries_[doc_.download_items[i].url] = {due, slot.RetryCount, proxy};
  engine_.ResetTransferSlot(a, slot);
  doc_.download_items[i].state = DS_RETRY_WAIT;
  SetDownloadImage(IMAGE_RETRY_WAIT, i);
}

bool CrawlScheduler::RetryIsDue(const std::string& url,
                                std::chrono::steady_clock::time_point now) const {
  if (pending_retries_.empty()) return true;
  auto it = pending_retries_.find(url);
  return it == pending_retries_.end() || now >= it->second.due;
}

void CrawlScheduler::FollowRedirect(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  ShowSlotProgress(a);
  if (doc_.download_items[i].state != DS_RUNNING) {
    GiveUp(a);
    return;
  }
  // Redirects are counted by their own chain, not as retries: a site that
  // moved to https:// and then to its new path is two hops, no fault.
  auto& chain = redirect_chains_[a];
  chain.push_back(requested_urls_[a]);
  auto target = RedirectTarget(slot.url, requested_urls_[a]);
  const char* refusal = nullptr;
  if (!target) {
    // Never send a request made of whatever the server put in Location.
    refusal = kBadRedirect;
  } else if (std::find(chain.begin(), chain.end(), *target) != chain.end()) {
    refusal = kRedirectLoop;
  } else if (chain.size() > kMaxRedirects) {
    refusal = kTooManyRedirects;
  }
  if (refusal) {
    slot.status_text = refusal;
    ShowSlotProgress(a);
    GiveUp(a);
    return;
  }
  slot.url = *target;
  RestartInPlace(a);
}

void CrawlScheduler::RejectForSize(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  SetDownloadImage(IMAGE_SIZE_REMOVED, i);
  // Best effort: a file the size rules reject that cannot be removed stays
  // where the user can see and remove it.
  (void)platform::RemoveFile(slot.local_path);
  if (doc_.download_items[i].kind == KIND_CRAWL && doc_.settings.log_small_files != 0) {
    RecordInDownloadLog(a, doc_.download_items[i]);
  }
  if (doc_.settings.clear_item_after_download != 0) {
    doc_.RemoveDownloadItem(i);
  } else {
    doc_.download_items[i].state = DS_SIZE_REMOVED;
  }
  engine_.ResetTransferSlot(a, slot);
}

void CrawlScheduler::FoundInLog(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  RecordInDownloadLog(a, doc_.download_items[i]);
  slot.status_text = kInLogStopped;
  ShowSlotProgress(a);
  doc_.download_items[i].state = DS_ERROR;
  SetDownloadImage(IMAGE_ERROR, i);
  engine_.ResetTransferSlot(a, slot);
}

void CrawlScheduler::Stopped(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  engine_.ResetTransferSlot(a, slot);
  if (doc_.download_items[i].state == DS_RUNNING) {
    doc_.download_items[i].state = DS_RETRY_WAIT;
    SetDownloadImage(IMAGE_RETRY_WAIT, i);
  } else {
    SetDownloadImage(IMAGE_DONE, i);
  }
}

void CrawlScheduler::Failed(int a) {
  TransferSlot& slot = slots_[a];
  int i = slot.item_index;
  if (doc_.settings.clear_item_after_download != 0) {
    doc_.RemoveDownloadItem(i);
  } else {
    doc_.download_items[i].state = DS_ERROR;
    SetDownloadImage(IMAGE_ERROR, i);
  }
  engine_.ResetTransferSlot(a, slot);
}

}  // namespace marovine
