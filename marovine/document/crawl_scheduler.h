#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "marovine/document/crawl_hooks.h"
#include "marovine/document/settings_keys.h"
#include "marovine/engine/page_reading.h"
#include "marovine/engine/proxy_list.h"
#include "marovine/engine/transfer_engine.h"
#include "marovine/engine/transfer_slot.h"
#include "marovine/engine/work_items.h"
#include "marovine/engine/worker_settings.h"
#include "platform/profile_write_batch.h"

namespace marovine {

class CMarovineDoc;
class CPageParser;

// The crawl of one document: the transfer slots that point into its download
// list by index, the engine that runs their transfers, the tick and what the
// tick counts, and the steps that turn transfer results into list changes.
// The document keeps the lists and the settings; the scheduler works on them
// through it.
//
// Threads: everything here runs on the thread that owns the document (the UI
// thread of a window, the main thread of the command line), except what is
// marked otherwise below. The transfers run on the engine's threads and touch
// none of the members; the engine copies a slot's progress in under its own
// lock when SyncTransferSlot is called on the owning thread.
//
// What crosses threads, and who owns it:
// - slots_: the owning thread's. Their "in" fields are copied into the
//   transfer's job at its start; their "out" fields (status, text, sizes, the
//   result) are copied back from the worker under the worker's lock at each
//   sync. A slot is never shared with a transfer.
// - the page reader a slot starts with: made on the owning thread from
//   copies of the item, its link and the settings; the transfer's thread owns
//   the copy it was handed and runs it once the file is complete, before the
//   end is reported. It holds no reference into the document.
// - the page reading (a slot's result): made on the transfer's thread,
//   published with the final status under the worker's lock, and from the
//   sync on the owning thread's alone (the transfer never looks at it again).
// - stop requests: set in a slot on the owning thread and pushed to the
//   worker's atomic flag at each sync; the transfer's thread only reads it.
// - the transfer end notifier and the end count: under end_mutex_; the
//   notifier is called on the transfers' threads, outside that lock.
class CrawlScheduler {
 public:
  explicit CrawlScheduler(CMarovineDoc& doc);
  // Stops and joins the transfers before anything they report to goes, then
  // writes the totals and log keys that wait.
  ~CrawlScheduler();
  CrawlScheduler(const CrawlScheduler&) = delete;
  CrawlScheduler& operator=(const CrawlScheduler&) = delete;

  // One tick: maintenance, clipboard watch, autosave, then the transfer
  // slots: results collected, free slots filled, sites closed and opened.
  void CrawlTick();
  // The collection and start steps of a tick alone; fast mode runs them as
  // soon as a transfer ends.
  void CollectAndStart();
  // The user's commands.
  void StartCommand();
  void StopListingCommand();  // running transfers finish, nothing new starts
  void StopAllCommand();      // running transfers are stopped too
  // Tells the running transfer of download item `index`, if any, to stop.
  void StopTransferOf(int index);
  // "検索やり直し": the given links (all when empty) are searched again,
  // except one being searched now.
  void SearchAgainCommand(const std::vector<int>& rows = {});
  // Every site is searched again, and a file is fetched only when it changed
  // since the date its history keeps.
  void UpdateCommand();
  // The crawl runs from the next tick on, without the start command's sound
  // and status text (a URL registered with auto start, a site due again).
  void ResumeQuietly() { crawl_running_ = 1; }
  bool running() const { return crawl_running_ != 0; }
  // The clipboard watch step runs in every tick while on.
  void SetClipboardWatch(bool on) { clipboard_watch_ = on ? 1 : 0; }

  // How often CrawlTick is called (default 1000 ms). What counts seconds in
  // ticks (maintenance, autosave) keeps its wall-clock meaning.
  void SetTickPeriod(std::chrono::milliseconds period);
  std::chrono::milliseconds tick_period() const { return tick_period_; }
  // Blocks until a transfer has ended since the last call, or the limit has
  // passed; answers whether one ended.
  bool WaitForTransferEnd(std::chrono::milliseconds limit);
  // Also called (on the transfer's thread, so it must be thread-safe) when a
  // transfer ends: the GUI posts itself an event with it.
  void SetTransferEndNotifier(std::function<void()> notify);
  // Nothing more happens without a command: the crawl is not running and
  // every slot is free.
  bool CrawlFinished() const;
  // Keeps the document file up to date while the crawl runs, so a crash at
  // any moment costs no partial file: the list is saved when it changed, at
  // the end of each tick and before new transfers start.
  void SetSaveEachTick(bool on) { save_each_tick_ = on; }
  // nullptr restores the built-in hooks (which still make the site album).
  void SetCrawlHooks(CrawlHooks* hooks) { hooks_ = hooks != nullptr ? hooks : &default_hooks_; }
  // The transfers that start afterwards get these settings.
  void SetWorkerSettings(const WorkerSettings& settings) { engine_.SetWorkerSettings(settings); }

  // Adds the files fetched since the last call to the totals in the settings.
  void FlushDownloadTotals();
  // Writes the site history and detail log keys that wait (the crawl writes
  // them in batches: at most once a tick, and all at the end of a site, on a
  // stop and when the document goes).
  // Keys that could not be written stay in the batch for a later flush.
  void FlushLogWrites() { (void)log_writes_.Flush(true); }
  // A log that is deleted: its waiting keys are dropped with it.
  void DiscardLogWrites(const std::string& path) { log_writes_.Discard(path); }
  // The site history and detail log keys as the crawl sees them, waiting
  // ones included.
  const platform::ProfileWriteBatch& log_writes() const { return log_writes_; }

  // Fills a slot from download item `index` and starts its transfer.
  void StartDownloadItem(int slot, int index);
  // Queues the start page of a site as a new download item; its index, or -1
  // when the download list is full.
  int QueueSitePage(int link_index);
  // Consumes the result of a slot whose transfer has ended.
  void CollectTransferResult(int slot);
  // The download item `index` has left the list: the slots that point past
  // it follow, and a slot still bound to it is told to stop and forgets it.
  void DownloadItemRemoved(int index);
  // Download items a and b have changed places: the slots follow them.
  void DownloadItemsSwapped(int a, int b);

  // The slots as of the last collection (progress display).
  const std::array<TransferSlot, kTransferSlotCount>& slots() const { return slots_; }
  ProxyList& proxy_list() { return proxies_; }

 private:
  friend struct CrawlSchedulerTestAccess;

  // The crawl's steps (crawl_tick.cpp, start_download_item.cpp,
  // collect_transfer_result.cpp, transfer_success.cpp, link_following.cpp).
  void CollectAndStartInTick();
  void RefreshProgress();
  void RefreshEndedTransfers();
  void ShowSlotProgress(int slot);
  void CollectEndedTransfers(bool& all_idle);
  void StartWaitingItems(bool all_idle);
  void StartWaitingSlots(int used, bool all_idle);
  // The first item from `from` on that may start now; sets `pending` when it
  // passes an item that is running or waiting.
  // `now` is the one moment a whole look is taken at: a hold that ends in
  // the middle of it must not let a later item of the host overtake the one
  // held first.
  std::optional<std::size_t> FindStartableItem(std::size_t from, bool& pending,
                                               std::chrono::steady_clock::time_point now);
  void CompleteSite();
  bool OpenNextSite(int slot);
  void FinishCrawl();
  void RunMaintenance();
  void AdvanceAutosave();
  bool SlotHasItem(int slot) const;
  void StartDownloadItemVia(int slot, int index, const std::string* proxy);
  void RestartInPlace(int slot);
  void WriteDetailLog(int slot);
  void RecordInDownloadLog(int slot, const DownloadItem& item);
  void GiveUp(int slot);
  void RetryAfterConnectError(int slot);
  void RetryAfterBrokenTransfer(int slot);
  // A server that asked us to come back later: no item of its host starts
  // before then.
  void HoldHost(const std::string& url, int seconds);
  bool HostIsHeld(const std::string& url, std::chrono::steady_clock::time_point now);
  // Retry waits off the slot: the item waits in the list until its time
  // (keeping its retry count and the proxy it is to use), the slot is free.
  void WaitForRetryOffSlot(int slot, const std::string& proxy);
  bool RetryIsDue(const std::string& url, std::chrono::steady_clock::time_point now) const;
  void FollowRedirect(int slot);
  void RejectForSize(int slot);
  void FoundInLog(int slot);
  void Stopped(int slot);
  void Failed(int slot);
  void Succeeded(int slot);
  void TakeTitle(int owner, const std::string& title);
  // Answers true when the slot was restarted for a relative-address re-fetch.
  bool FollowLinks(int slot, CPageParser& parser, int owner);
  void SearchLinkSites(int slot, int owner);
  void AppendFoundLink(int slot, const std::string& url, int owner, bool& adding);
  // Brings listed_urls_ up to the download list's end.
  void IndexListedUrls();
  void SetDownloadImage(int image, int row);
  void SetRowComment(int row, const std::string& text);
  void SetStatusPane(int pane, const std::string& text);
  bool DialUpKeepCheck();
  void NotifyTransferEnd();  // on a transfer's thread
  void LaunchTransfer(int slot);
  // Gives the slot the reading of the page its transfer fetches, made from
  // the item, its link and the settings as they are now.
  void PreparePageReading(int slot);
  // Fills the configured parser with the page's title and links: taken from
  // what the transfer's thread read when it was asked the same, else read
  // here.
  void ExtractLinks(int slot, CPageParser& parser,
                    std::optional<LinkExtraction> PageReading::*pass);
  void LaunchDeferredTransfers();
  void SaveDocumentIfChanged();
  void FinishMirroredPages(int link_index);

  CMarovineDoc& doc_;
  std::array<TransferSlot, kTransferSlotCount> slots_{};
  int crawl_running_ = 0;
  int page_counter_ = 0;
  int clipboard_watch_ = 0;
  CrawlHooks default_hooks_;
  CrawlHooks* hooks_ = &default_hooks_;
  ProxyList proxies_;
  // True while a tick runs (or a modal step that a tick must not interrupt).
  bool tick_running_ = false;
  // Fetched files not yet added to the totals in "marovine.ini": the file is
  // rewritten once a tick (and when the document goes), not after every file,
  // which on a real disk would cost two synced rewrites a download.
  DownloadTotals pending_totals_;
  platform::ProfileWriteBatch log_writes_;
  // The whole-site pages of the site being searched, rewritten once more when
  // it ends, when it is known which of their links' files arrived.
  struct MirroredPage {
    std::string local_path;
    std::string url;
    std::string site_url;
  };
  std::vector<MirroredPage> mirrored_pages_;
  std::chrono::milliseconds tick_period_{1000};
  bool save_each_tick_ = false;
  std::string saved_document_;  // the bytes last saved by SaveDocumentIfChanged
  std::chrono::steady_clock::time_point last_save_end_;
  std::chrono::steady_clock::duration last_save_cost_{};
  bool in_tick_ = false;
  // Transfers prepared while new items are being started, launched together
  // once the document on disk knows their items.
  bool defer_launches_ = false;
  std::vector<int> deferred_launches_;
  std::int64_t maintenance_ms_ = 0;
  std::int64_t autosave_ms_ = 0;
  int autosave_seconds_ = 0;
  int autosave_minutes_ = 0;
  // The address each slot was last started with: a redirect's relative
  // Location is resolved against it.
  std::array<std::string, kTransferSlotCount> requested_urls_;
  // The addresses each slot's item was redirected from since it started:
  // a loop or a chain too long ends the item.
  std::array<std::vector<std::string>, kTransferSlotCount> redirect_chains_;
  // Hosts (without scheme) that asked to be left alone until a time, and the
  // retries the items sent away by them had used.
  std::map<std::string, std::chrono::steady_clock::time_point> host_holds_;
  std::map<std::string, int> held_retry_counts_;
  // Items waiting for a retry off their slot, by URL.
  struct PendingRetry {
    std::chrono::steady_clock::time_point due;
    int retry_count = 0;
    std::string proxy;
  };
  std::map<std::string, PendingRetry> pending_retries_;
  // The URLs of the first listed_count_ download items, which found links
  // are looked up in. A crawl only appends to the list, so the set is kept
  // from page to page; a removal empties it.
  std::unordered_set<std::string> listed_urls_;
  std::size_t listed_count_ = 0;
  std::string listed_last_url_;  // the URL of item listed_count_ - 1
  // Where fast mode's starts between ticks look for the next item.
  std::size_t next_start_hint_ = 0;

  // Transfer ends: counted on the transfers' threads, read on the owning
  // thread; all four under end_mutex_.
  mutable std::mutex end_mutex_;
  std::condition_variable end_signal_;
  std::uint64_t ends_ = 0;
  std::uint64_t ends_seen_ = 0;
  std::function<void()> end_notifier_;  // called on the transfers' threads
  // Last: its threads are stopped first, while what they call still exists.
  TransferEngine engine_;
};

}  // namespace marovine
