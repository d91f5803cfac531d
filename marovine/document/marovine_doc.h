#pragma once

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "marovine/document/crawl_control.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/document_settings.h"
#include "marovine/document/local_name_reservations.h"
#include "marovine/document/program_paths.h"
#include "marovine/document/settings_keys.h"
#include "marovine/engine/local_path.h"
#include "marovine/engine/proxy_list.h"
#include "marovine/engine/work_items.h"
#include "marovine/engine/worker_settings.h"
#include "platform/profile.h"

namespace marovine {

class DownloadListView;
class LinkListView;
class UiServices;
struct ViewHint;

// The one document: the two lists that are the whole state of a crawl and
// the settings they are made with; its crawl (the scheduler) works on them.
// The views follow it (the link view through hints, the download view
// through direct calls); it never waits on either. All of it lives on the
// thread that owns it; only the scheduler hands work to other threads.
// The parts around the crawl see it as a CrawlControl.
class CMarovineDoc final : public CrawlControl {
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
  // The download list view, or nullptr while none is attached.
  DownloadListView* download_view() const { return download_view_; }

  // Makes a URL a new item: a link (a site to search) or a download, by its
  // extension. 1 added, 0 rejected (ignore word, unlisted extension,
  // duplicate, full download list). Never shows a message.
  int RegisterUrl(const std::string& url) override;
  // The same under a registration mode of the caller's (kRegisterCrawl or
  // kRegisterWholeSite) instead of the one the settings choose.
  int RegisterUrlAs(const std::string& url, int registration_mode);
  // Overrides of the settings for this run only; the settings file keeps
  // what the user chose.
  void UseFastModeForThisRun() {
    settings.fast_mode = 1;
    worker_settings.reuse_connections = 1;
    worker_settings.retry_wait_off_slot = 1;
    worker_settings.conditional_requests = 1;
  }
  void AcceptUnverifiedCertificatesForThisRun() {
    worker_settings.accept_unverified_certificate = 1;
  }
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
  // The one way a listed item's local path changes, so that the reserved
  // names stay in step.
  void SetItemLocalPath(int index, std::string path);
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

  // The crawl of this document: views, dialogs and front ends reach it
  // through its commands and notifications.
  CrawlScheduler& crawl() { return crawl_; }
  const CrawlScheduler& crawl() const { return crawl_; }

  // CrawlControl: the crawl's commands and what the parts around it read.
  void CrawlTick() override { crawl_.CrawlTick(); }
  void StartCommand() override { crawl_.StartCommand(); }
  void StopListingCommand() override { crawl_.StopListingCommand(); }
  void StopAllCommand() override { crawl_.StopAllCommand(); }
  void ResumeQuietly() override { crawl_.ResumeQuietly(); }
  bool SaveDocument() override;
  bool CrawlRunning() const override { return crawl_.running(); }
  bool CrawlFinished() const override { return crawl_.CrawlFinished(); }
  const DocumentSettings& crawl_settings() const override { return settings; }
  const platform::Profile& settings_file() const override { return profile; }
  const ProgramPaths& program_paths() const override { return paths; }
  const std::vector<LinkItem>& links() const override { return link_items; }
  const std::vector<DownloadItem>& downloads() const override { return download_items; }
  const std::array<TransferSlot, kTransferSlotCount>& transfer_slots() const override {
    return crawl_.slots();
  }

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
  // The local date; replaceable so that day-based rules can be tested.
  std::function<LocalDate()> clock = Today;

 private:
  std::vector<LinkListView*> link_views_;
  DownloadListView* download_view_ = nullptr;
  UiServices* ui_ = nullptr;
  std::minstd_rand random_;
  int last_reset_day_ = 0;

  // The crawl works on the lists through the document and keeps the views
  // and the reserved names in step with them.
  friend class CrawlScheduler;

  LocalNameReservations reserved_names_;
  // Last: it stops its transfers before the lists they point into go.
  CrawlScheduler crawl_;
};

}  // namespace marovine
