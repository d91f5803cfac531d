// The user's start and stop commands, and how the front ends learn that the
// crawl has something to do or nothing left.

#include <algorithm>

#include "marovine/document/download_list_view.h"
#include "marovine/document/marovine_doc.h"
#include "platform/reentry_guard.h"

namespace marovine {

namespace {

constexpr const char* kRunning = "開始  ";
constexpr const char* kStopped = "停止  ";
// The run state has a pane of its own in the status bar.
constexpr int kRunStatePane = 2;

}  // namespace

void CMarovineDoc::StartCommand() {
  crawl_running = 1;
  settings.no_end_when_start = 0;
  int used = std::min(settings.simultaneous_transfers, kTransferSlotCount);
  for (int a = 0; a < used; ++a) {
    slots[a].stop_request = 0;
    if (slots[a].status == TS_RUNNING && SlotHasItem(a)) {
      SetDownloadImage(IMAGE_RUNNING, slots[a].item_index);
    }
  }
  RefreshProgress();
  SetStatusPane(kRunStatePane, kRunning);
  hooks_->PlayEventSound(SOUND_START);
}

void CMarovineDoc::SearchAgainCommand(const std::vector<int>& rows) {
  std::vector<int> chosen = rows;
  if (chosen.empty()) {
    for (std::size_t k = 0; k < link_items.size(); ++k) chosen.push_back(static_cast<int>(k));
  }
  for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
    const int k = *it;
    if (k < 0 || k >= static_cast<int>(link_items.size())) continue;
    if (link_items[k].state == LS_SEARCHING) continue;
    link_items[k].state = LS_WAITING;
    SetLinkRowImage(k);
  }
}

void CMarovineDoc::StopListingCommand() {
  crawl_running = 0;
  SetStatusPane(kRunStatePane, kStopped);
  hooks_->PlayEventSound(SOUND_STOP);
}

void CMarovineDoc::StopAllCommand() {
  crawl_running = 0;
  int used = std::min(settings.simultaneous_transfers, kTransferSlotCount);
  for (int a = 0; a < kTransferSlotCount; ++a) {
    // Slots beyond the current DouziDL may still run transfers started
    // before the setting was lowered; they are stopped too.
    if (a >= used && slots[a].status == TS_IDLE) continue;
    slots[a].stop_request = 1;
    engine_.SyncTransferSlot(slots[a]);
    if (slots[a].status != TS_IDLE && SlotHasItem(a)) {
      SetDownloadImage(IMAGE_STOPPED, slots[a].item_index);
    }
  }
  SetStatusPane(kRunStatePane, kStopped);
  hooks_->PlayEventSound(SOUND_STOP);
  FlushLogWrites();
}

void CMarovineDoc::MarkDownloadsUnfinished(const std::vector<int>& rows) {
  for (int row : rows) {
    if (row < 0 || row >= static_cast<int>(download_items.size())) continue;
    if (download_items[row].state == DS_RUNNING) continue;
    download_items[row].state = DS_WAITING;
    SetDownloadImage(IMAGE_WAITING, row);
  }
}

bool CMarovineDoc::CrawlFinished() const {
  if (crawl_running != 0) return false;
  for (const auto& slot : slots) {
    if (slot.status != TS_IDLE) return false;
  }
  return true;
}

void CMarovineDoc::NotifyTransferEnd() {
  std::function<void()> notify;
  {
    std::lock_guard lock(end_mutex_);
    ++ends_;
    notify = end_notifier_;
  }
  end_signal_.notify_all();
  if (notify) notify();
}

void CMarovineDoc::SetTransferEndNotifier(std::function<void()> notify) {
  std::lock_guard lock(end_mutex_);
  end_notifier_ = std::move(notify);
}

bool CMarovineDoc::WaitForTransferEnd(std::chrono::milliseconds limit) {
  std::unique_lock lock(end_mutex_);
  bool ended = end_signal_.wait_for(lock, limit, [this] { return ends_ != ends_seen_; });
  ends_seen_ = ends_;
  return ended;
}

bool CMarovineDoc::DialUpKeepCheck() {
  if (settings.keep_dial_up == 0) return true;
  // Dialling shows a dialog: a tick arriving meanwhile, also when a command
  // started this transfer outside the tick, must not run.
  platform::ReentryGuard guard(tick_running_);
  bool up = hooks_->DialUpKeepCheck(*this);
  if (!up) settings.keep_dial_up = 0;
  return up;
}

}  // namespace marovine
