#pragma once

#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "marovine/document/document_settings.h"
#include "marovine/document/program_paths.h"
#include "marovine/engine/local_path.h"
#include "marovine/engine/transfer_slot.h"
#include "marovine/engine/work_items.h"
#include "marovine/engine/worker_settings.h"
#include "platform/profile.h"

namespace marovine {

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

  // Re-reads "marovine.ini" (after every settings dialog).
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

  int FindLink(const std::string& url) const;  // index of the first equal URL, or -1
  bool HasDownload(const std::string& url) const;
  bool LinkListContains(const std::string& url) const { return FindLink(url) >= 0; }

  // Appends an item and its row. A full download list (kMaxDownloadRows)
  // refuses the item: answers -1 and says so in the status bar, rather than
  // overwriting the last item, which may be a download still pending.
  int AppendDownloadItem(DownloadItem item);
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

  ProgramPaths paths;
  platform::Profile profile;
  std::string storage_folder;
  // Where the document is saved: autosave, the finish-time save and the save
  // on exit write here; opening or saving a file moves it there.
  std::string document_path;
  DocumentSettings settings;
  WorkerSettings worker_settings;

  std::vector<LinkItem> link_items;
  std::vector<DownloadItem> download_items;
  std::array<TransferSlot, kTransferSlotCount> slots{};

  int crawl_running = 0;
  int page_counter = 0;
  // The local date; replaceable so that day-based rules can be tested.
  std::function<LocalDate()> clock = Today;

 private:
  std::vector<LinkListView*> link_views_;
  DownloadListView* download_view_ = nullptr;
  UiServices* ui_ = nullptr;
  std::minstd_rand random_;
  int last_reset_day_ = 0;
};

}  // namespace marovine
