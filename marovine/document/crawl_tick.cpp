// The crawl's heartbeat: CrawlTick and the site changes it makes.

#include <algorithm>
#include <optional>

#include "marovine/album/album_commands.h"
#include "marovine/document/crawl_scheduler.h"
#include "marovine/document/document_file.h"
#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/day_number.h"
#include "platform/file_io.h"
#include "platform/reentry_guard.h"

namespace marovine {

namespace {

// Maintenance (schedule check, reset after days) runs every 26 seconds.
constexpr std::int64_t kMaintenanceMs = 26 * 1000;
constexpr const char* kAllDone = "終了しました。";

}  // namespace

void CrawlScheduler::SetTickPeriod(std::chrono::milliseconds period) {
  tick_period_ = std::max(period, std::chrono::milliseconds(1));
}

void CrawlScheduler::CrawlTick() {
  // A modal step inside the tick (album progress, dial-up prompt, a message
  // box) pumps timer events: a tick arriving then returns at once, so nothing
  // of the tick runs inside itself.
  platform::ReentryGuard guard(tick_running_);
  if (!guard.entered()) return;
  maintenance_ms_ += tick_period_.count();
  if (maintenance_ms_ >= kMaintenanceMs) {
    maintenance_ms_ = 0;
    RunMaintenance();
  }
  if (clipboard_watch_ != 0) hooks_->ClipboardWatchStep(doc_);
  AdvanceAutosave();
  in_tick_ = true;
  CollectAndStartInTick();
  in_tick_ = false;
  FlushDownloadTotals();
  // Keys that could not be written wait in the batch for the next flush.
  (void)log_writes_.Flush(false);
  SaveDocumentIfChanged();
}

void CrawlScheduler::SaveDocumentIfChanged() {
  if (!save_each_tick_ || doc_.document_path.empty()) return;
  auto begin = std::chrono::steady_clock::now();
  std::string bytes = StoreDocument(doc_);
  if (bytes == saved_document_) return;
  // A failed save is tried again next time; the old file stays whole.
  if (platform::WriteFileAtomically(doc_.document_path, bytes)) saved_document_ = std::move(bytes);
  last_save_end_ = std::chrono::steady_clock::now();
  last_save_cost_ = last_save_end_ - begin;
}

void CrawlScheduler::CollectAndStart() {
  // A transfer's end wakes this between ticks in fast mode; inside a modal
  // step of the tick (the shutdown countdown, a dial-up prompt) it must wait
  // like a tick does.
  platform::ReentryGuard guard(tick_running_);
  if (!guard.entered()) return;
  CollectAndStartInTick();
}

void CrawlScheduler::CollectAndStartInTick() {
  // Between ticks only the ended transfers are looked at: the others show
  // their progress at the next tick, and a wake per file stays cheap.
  if (in_tick_) {
    RefreshProgress();
  } else {
    RefreshEndedTransfers();
  }
  bool all_idle = true;
  CollectEndedTransfers(all_idle);
  StartWaitingItems(all_idle);
}

void CrawlScheduler::RunMaintenance() {
  hooks_->ScheduleCheck(doc_);
  doc_.ResetAfterDays();
}

void CrawlScheduler::AdvanceAutosave() {
  if (doc_.settings.auto_save == 0) return;
  autosave_ms_ += tick_period_.count();
  while (autosave_ms_ >= 1000) {
    autosave_ms_ -= 1000;
    if (++autosave_seconds_ < 60) continue;
    autosave_seconds_ = 0;
    if (++autosave_minutes_ < doc_.settings.auto_save_minutes) continue;
    autosave_minutes_ = 0;
    // A path that cannot be written is skipped; the old file stays whole.
    SaveDocumentFile(doc_, doc_.document_path);
  }
}

bool CrawlScheduler::SlotHasItem(int slot) const {
  int index = slots_[slot].item_index;
  return index >= 0 && index < static_cast<int>(doc_.download_items.size());
}

void CrawlScheduler::RefreshProgress() {
  for (int a = 0; a < kTransferSlotCount; ++a) {
    engine_.SyncTransferSlot(slots_[a]);
    if (slots_[a].status != TS_IDLE && !slots_[a].url.empty()) ShowSlotProgress(a);
  }
}

void CrawlScheduler::RefreshEndedTransfers() {
  for (int a = 0; a < kTransferSlotCount; ++a) {
    if (slots_[a].status != TS_RUNNING || !engine_.TransferEnded(a)) continue;
    engine_.SyncTransferSlot(slots_[a]);
    if (!slots_[a].url.empty()) ShowSlotProgress(a);
  }
}

void CrawlScheduler::ShowSlotProgress(int a) {
  if (doc_.download_view_ == nullptr || !SlotHasItem(a)) return;
  const TransferSlot& slot = slots_[a];
  doc_.download_view_->UpdateProgress(slot.item_index, slot.received, slot.expected_size,
                                      slot.elapsed, slot.status_text, slot.RetryCount);
}

void CrawlScheduler::CollectEndedTransfers(bool& all_idle) {
  for (int a = 0; a < kTransferSlotCount; ++a) {
    if (slots_[a].status > TS_RUNNING) {
      CollectTransferResult(a);
    } else if (slots_[a].status == TS_RUNNING) {
      all_idle = false;
    }
  }
}

void CrawlScheduler::StartWaitingItems(bool all_idle) {
  int used = std::min(doc_.settings.simultaneous_transfers, kTransferSlotCount);
  if (crawl_running_ == 0 || used < 1) return;
  // Between ticks (fast mode) a start costs a save of the list; a large list
  // saved after every file would cost its size once per file. Such starts
  // wait for the tick unless the saves take a twentieth of the time at most.
  if (save_each_tick_ && !in_tick_ &&
      std::chrono::steady_clock::now() - last_save_end_ < 20 * last_save_cost_) {
    return;
  }
  defer_launches_ = true;
  StartWaitingSlots(used, all_idle);
  LaunchDeferredTransfers();
}

std::optional<std::size_t> CrawlScheduler::FindStartableItem(
    std::size_t from, bool& pending, std::chrono::steady_clock::time_point now) {
  for (std::size_t i = from; i < doc_.download_items.size(); ++i) {
    std::uint8_t state = doc_.download_items[i].state;
    if (state == DS_RUNNING) pending = true;
    if (state == DS_WAITING || state == DS_RETRY_WAIT) {
      pending = true;
      if (HostIsHeld(doc_.download_items[i].url, now)) continue;
      if (state == DS_RETRY_WAIT && !RetryIsDue(doc_.download_items[i].url, now)) continue;
      return i;
    }
  }
  return std::nullopt;
}

void CrawlScheduler::StartWaitingSlots(int used, bool all_idle) {
  bool pending = false;
  // The items before one just started were not startable a moment ago, so
  // the next slot looks on from there. Between the ticks of fast mode the
  // look goes on from the item started last; a tick, and a look that finds
  // nothing, take the whole list again, so that an item that became startable
  // further up waits a tick at most and the site's end is never taken too
  // early. On a long list this keeps a start from costing a walk through
  // every item done before it.
  std::size_t from = in_tick_ || doc_.settings.fast_mode == 0 ? 0 : next_start_hint_;
  const auto now = std::chrono::steady_clock::now();
  for (int a = 0; a < used; ++a) {
    if (slots_[a].status != TS_IDLE) continue;
    std::optional<std::size_t> found = FindStartableItem(from, pending, now);
    if (!found && from > 0) found = FindStartableItem(0, pending, now);
    if (found) {
      StartDownloadItem(a, static_cast<int>(*found));
      from = *found + 1;
      next_start_hint_ = from;
      continue;
    }
    if (all_idle && !pending) {
      CompleteSite();
      if (OpenNextSite(a)) return;
      FinishCrawl();
      return;
    }
    break;  // nothing can start, in this slot or any other
  }
}

void CrawlScheduler::CompleteSite() {
  int k = -1;
  for (std::size_t i = 0; i < doc_.link_items.size(); ++i) {
    if (doc_.link_items[i].state == LS_SEARCHING) {
      k = static_cast<int>(i);
      break;
    }
  }
  if (k < 0) return;
  FinishMirroredPages(k);
  // The site's history and detail log are whole when it is done (the album
  // reads the log).
  FlushLogWrites();
  LinkItem& link = doc_.link_items[k];
  link.state = LS_DONE;
  if (doc_.settings.album_after_site != 0 && link.mode == MODE_CRAWL &&
      link.file_count >= doc_.settings.album_minimum_files && !hooks_->MakeSiteAlbum(doc_, k)) {
    if (doc_.ui_ != nullptr)
      doc_.ui_->NoteFailure(std::string(kAlbumNotWrittenMessage) + " " + link.url);
  }
  doc_.SetLinkRowImage(k);
  if (doc_.settings.clear_list_after_site != 0) doc_.ClearDownloadList();
  page_counter_ = 0;
  LocalDate today = doc_.clock();
  doc_.link_items[k].done_day = DayNumber(today.month, today.day);
}

bool CrawlScheduler::OpenNextSite(int slot) {
  for (std::size_t k = 0; k < doc_.link_items.size(); ++k) {
    if (doc_.link_items[k].state != LS_WAITING) continue;
    int index = QueueSitePage(static_cast<int>(k));
    if (index < 0) {
      // The download list is full (its status text says so): stop rather
      // than drop the site or overwrite an item; the user clears the list.
      crawl_running_ = 0;
      return true;
    }
    hooks_->PlayEventSound(SOUND_NEXT_SITE);
    StartDownloadItem(slot, index);
    doc_.link_items[k].state = LS_SEARCHING;
    doc_.SetLinkRowImage(static_cast<int>(k));
    return true;
  }
  return false;
}

void CrawlScheduler::FinishCrawl() {
  hooks_->PlayEventSound(SOUND_ALL_DONE);
  crawl_running_ = 0;
  SetStatusPane(1, kAllDone);
  if (doc_.settings.no_end_when_start != 0) {
    // A crawl that started by itself and fetched nothing since start-up
    // does not close the program or power the machine off.
    doc_.settings.no_end_when_start = 0;
  } else {
    if (doc_.settings.hang_up_when_all_done != 0) hooks_->HangUp();
    if (doc_.settings.exit_when_all_done != 0) {
      doc_.settings.exit_when_all_done = 0;
      hooks_->CloseMainWindow();
    } else if (doc_.settings.power_when_all_done != 0) {
      if (SaveDocumentAtFinish(doc_.profile)) SaveDocumentFile(doc_, doc_.document_path);
      doc_.settings.power_when_all_done = 0;
      doc_.settings.keep_dial_up = 0;
      StopAllCommand();
      hooks_->HangUp();
      hooks_->PowerManagement(doc_);
    }
  }
  if (doc_.settings.restart_when_all_done != 0) {
    for (std::size_t k = 0; k < doc_.link_items.size(); ++k) {
      doc_.link_items[k].state = LS_WAITING;
      doc_.SetLinkRowImage(static_cast<int>(k));
    }
    crawl_running_ = 1;
  }
}

void CrawlScheduler::SetDownloadImage(int image, int row) {
  if (doc_.download_view_ != nullptr && row >= 0 && row < doc_.download_view_->RowCount()) {
    doc_.download_view_->SetImage(image, row);
  }
}

void CrawlScheduler::SetRowComment(int row, const std::string& text) {
  if (doc_.download_view_ == nullptr || row < 0 || row >= doc_.download_view_->RowCount()) return;
  doc_.download_view_->UpdateProgress(row, 0, 0, 0, text, 0);
}

void CrawlScheduler::SetStatusPane(int pane, const std::string& text) {
  if (doc_.ui_ != nullptr) doc_.ui_->SetStatusText(pane, text);
}

}  // namespace marovine
