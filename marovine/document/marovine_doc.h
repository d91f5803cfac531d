#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "marovine/document/crawl_hooks.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/local_name_reservations.h"
#include "marovine/document/program_paths.h"
#include "marovine/document/settings_keys.h"
#include "marovine/engine/local_path.h"
#include "marovine/engine/proxy_list.h"
#include "marovine/engine/transfer_engine.h"
#include "marovine/engine/transfer_slot.h"
#include "marovine/engine/work_items.h"
#include "marovine/engine/worker_settings.h"
#include "platform/profile.h"
#include "platform/profile_write_batch.h"

namespace marovine {

class CPageParser;
class DownloadListView;
class LinkListView;
class UiServices;
struct ViewHint;

// The one document: the two lists that are the whole state of a crawl, the
// settings they are made with, and the transfer slots that point into the
// download list by index. The views follow it (the link view through hints,
// the download view through direct calls); it never waits on either.
class CMarovineDoc {
 public:
  CMarovineDoc(const std::string& program_folder, const std::string& storage_folder);
  ~CMarovineDoc();
  CMarovineDoc(const CMarovineDoc&) = delete;
  CMarovineDoc& operator=(const CMarovineDoc&) = delete;

  // Re-reads "marovine.ini" (after every settings dialog); the transfers that
  // start afterwards get the new worker settings.
  void LoadSettings();

  void AddLinkView(LinkListView* view) { link_views_.push_back(view); }
  void SetDownloadView(DownloadListView* view) { download_view_ = view; }
  void SetUiServices(UiServices* ui) { ui_ = ui; }

  // Makes a URL a new item: a link (a site to search) or a download, by its
  // extension. 1 added, 0 rejected (ignore word, unlisted extension,
  // duplicate, full download list). Never shows a message.
  int RegisterUrl(const std::string& url);
  // The folder of a new crawl-mode link.
  std::string NewLinkFolder(const std::string& url) const;
  // 1 accept, 0 when one of the ignore words occurs in the URL.
  int IgnoreWordFilter(const std::string& url) const;
  // The first ignore word the URL holds; empty when none.
  std::string MatchedIgnoreWord(const std::string& url) const;

  int FindLink(const std::string& url) const;  // index of the first equal URL, or -1
  bool HasDownload(const std::string& url) const;
  bool LinkListContains(const std::string& url) const { return FindLink(url) >= 0; }

  // Appends an item and its row. A full download list (kMaxDownloadRows)
  // refuses the item: answers -1 and says so in the status bar, rather than
  // overwriting the last item, which may be a download still pending.
  int AppendDownloadItem(DownloadItem item);
  // A listed item's local path is its own until the item leaves the list: the
  // name a new item is given is the path itself when no listed item holds
  // it, else its first numbered form that none holds.
  std::string UnreservedLocalPath(const std::string& path);
  bool LocalPathHeld(const std::string& path) const { return reserved_names_.Holders(path) > 0; }
  // Appends a link item, its row (hint 0) and its image and count.
  int AppendLinkItem(LinkItem item);
  // A new crawl-mode or whole-site link item for the URL with the defaults.
  LinkItem NewCrawlLinkItem(const std::string& url);
  LinkItem NewWholeSiteLinkItem(const std::string& url, const std::string& folder);

  // Removing closes the gap; slots and rows follow.
  void RemoveDownloadItem(int index);
  void RemoveLinkItem(int index);         // deletes the site's detail log when DeleteLinkLog is on
  void RemoveLinkItemKeepLog(int index);  // never deletes logs
  void ClearDownloadList();
  // "未終了にする" on downloads: each that is not running waits again.
  void MarkDownloadsUnfinished(const std::vector<int>& rows);

  // Puts done sites whose reset interval has passed back to waiting; runs
  // only once a day (the scheduler calls it every 26 ticks).
  void ResetAfterDays();

  // Tells every link view; the hint carries any answer back.
  void Broadcast(ViewHint& hint);
  void SetLinkRowImage(int index);
  void SetLinkRowCount(int index);
  void SetStatusText(const std::string& text);

  // 0..2047, the per-site number file names may start with.
  int NextRandomNumber();

  // ---- The crawl. Everything here runs on the thread that owns the
  // document; only the transfers run elsewhere.

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
  // "検索やり直し": the given links (all when empty) are searched again,
  // except one being searched now.
  void SearchAgainCommand(const std::vector<int>& rows = {});
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
  // Adds the files fetched since the last call to the totals in the settings.
  void FlushDownloadTotals();
  // Writes the site history and detail log keys that wait (the crawl writes
  // them in batches: at most once a tick, and all at the end of a site, on a
  // stop and when the document goes).
  // Keys that could not be written stay in the batch for a later flush.
  void FlushLogWrites() { (void)log_writes_.Flush(true); }
  // The site history and detail log keys as the crawl sees them, waiting
  // ones included.
  const platform::ProfileWriteBatch& log_writes() const { return log_writes_; }
  void SetCrawlHooks(CrawlHooks* hooks) { hooks_ = hooks != nullptr ? hooks : &default_hooks_; }

  // Fills a slot from download item `index` and starts its transfer.
  void StartDownloadItem(int slot, int index);
  // Queues the start page of a site as a new download item; its index, or -1
  // when the download list is full.
  int QueueSitePage(int link_index);
  // Consumes the result of a slot whose transfer has ended.
  void CollectTransferResult(int slot);

  TransferEngine& transfer_engine() { return engine_; }
  ProxyList& proxy_list() { return proxies_; }

  ProgramPaths paths;
  platform::Profile profile;
  std::string storage_folder;
  // Where the document is saved: autosave, the finish-time save and the save
  // on exit write here; opening or saving a file moves it there.
  std::string document_path;
  DocumentSettings settings;
  WorkerSettings worker_settings;
  // The proxy section, read with the other settings (every transfer start
  // asks for it).
  ProxySettings proxy_settings;

  std::vector<LinkItem> link_items;
  // Items join and leave through AppendDownloadItem and the removals, and a
  // listed item's local path changes only through SetItemLocalPath, so that
  // the reserved names stay in step.
  std::vector<DownloadItem> download_items;
  std::array<TransferSlot, kTransferSlotCount> slots{};

  int crawl_running = 0;
  int page_counter = 0;
  int clipboard_watch = 0;  // the clipboard watch step runs in every tick
  // The local date; replaceable so that day-based rules can be tested.
  std::function<LocalDate()> clock = Today;

 private:
  std::vector<LinkListView*> link_views_;
  DownloadListView* download_view_ = nullptr;
  UiServices* ui_ = nullptr;
  std::minstd_rand random_;
  int last_reset_day_ = 0;

  // The crawl's steps (crawl_tick.cpp, start_download_item.cpp,
  // collect_transfer_result.cpp, transfer_success.cpp, link_following.cpp).
  void RefreshProgress();
  void ShowSlotProgress(int slot);
  void CollectEndedTransfers(bool& all_idle);
  void StartWaitingItems(bool all_idle);
  void StartWaitingSlots(int used, bool all_idle);
  void CompleteSite();
  bool OpenNextSite(int slot);
  void FinishCrawl();
  void RunMaintenance();
  void AdvanceAutosave();
  bool SlotHasItem(int slot) const;
  void SetItemLocalPath(int index, std::string path);
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
  bool HostIsHeld(const std::string& url);
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
  void SetDownloadImage(int image, int row);
  void SetRowComment(int row, const std::string& text);
  void SetStatusPane(int pane, const std::string& text);
  bool DialUpKeepCheck();
  void NotifyTransferEnd();
  void LaunchTransfer(int slot);
  void LaunchDeferredTransfers();
  void SaveDocumentIfChanged();

  LocalNameReservations reserved_names_;
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
  void FinishMirroredPages(int link_index);
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

  // Transfer ends, counted on the transfers' threads.
  mutable std::mutex end_mutex_;
  std::condition_variable end_signal_;
  std::uint64_t ends_ = 0;
  std::uint64_t ends_seen_ = 0;
  std::function<void()> end_notifier_;
  // Last: its threads are stopped first, while what they call still exists.
  TransferEngine engine_;
};

}  // namespace marovine
