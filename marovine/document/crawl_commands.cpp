// The user's start and stop commands, and how the front ends learn that the
// crawl has something to do or nothing left.

#include <algorithm>

#include "marovine/document/crawl_scheduler.h"
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

void CrawlScheduler::StartCommand() {
  crawl_running_ = 1;
  doc_.settings.no_end_when_start = 0;
  int used = std::min(doc_.settings.simultaneous_transfers, kTransferSlotCount);
  for (int a = 0; a < used; ++a) {
    slots_[a].stop_request = 0;
    if (slots_[a].status == TS_RUNNING && SlotHasItem(a)) {
      SetDownloadImage(IMAGE_RUNNING, slots_[a].item_index);
    }
  }
  RefreshProgress();
  SetStatusPane(kRunStatePane, kRunning);
  hooks_->PlayEventSound(SOUND_START);
}

void CrawlScheduler::SearchAgainCommand(const std::vector<int>& rows) {
  std::vector<int> chosen = rows;
  if (chosen.empty()) {
    for (std::size_t k = 0; k < doc_.link_items.size(); ++k) chosen.push_back(static_cast<int>(k));
  }
  for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
    const int k = *it;
    if (k < 0 || k >= static_cast<int>(doc_.link_items.size())) continue;
    if (doc_.link_items[k].state == LS_SEARCHING) continue;
    doc_.link_items[k].state = LS_WAITING;
    doc_.SetLinkRowImage(k);
  }
}

void CrawlScheduler::UpdateCommand() {
  SearchAgainCommand();
  doc_.settings.fetch_updated_only = 1;
}

void CrawlScheduler::StopListingCommand() {
  crawl_running_ = 0;
  SetStatusPane(kRunStatePane, kStopped);
  hooks_->PlayEventSound(SOUND_STOP);
}

void CrawlScheduler::StopAllCommand() {
  crawl_running_ = 0;
  int used = std::min(doc_.settings.simultaneous_transfers, kTransferSlotCount);
  for (int a = 0; a < kTransferSlotCount; ++a) {
    // Slots beyond the current DouziDL may still run transfers started
    // before the setting was lowered; they are stopped too.
    if (a >= used && slots_[a].status == TS_IDLE) continue;
    slots_[a].stop_request = 1;
    engine_.SyncTransferSlot(slots_[a]);
    if (slots_[a].status != TS_IDLE && SlotHasItem(a)) {
      SetDownloadImage(IMAGE_STOPPED, slots_[a].item_index);
    }
  }
  SetStatusPane(kRunStatePane, kStopped);
  hooks_->PlayEventSound(SOUND_STOP);
  FlushLogWrites();
}

bool CrawlScheduler::CrawlFinished() const {
  if (crawl_running_ != 0) return false;
  for (const auto& slot : slots_) {
    if (slot.status != TS_IDLE) return false;
  }
  return true;
}

void CrawlScheduler::NotifyTransferEnd() {
  std::function<void()> notify;
  {
    std::lock_guard lock(end_mutex_);
    ++ends_;
    notify = end_notifier_;
  }
  end_signal_.notify_all();
  if (notify) notify();
}

void CrawlScheduler::SetTransferEndNotifier(std::function<void()> notify) {
  std::lock_guard lock(end_mutex_);
  end_notifier_ = std::move(notify);
}

bool CrawlScheduler::WaitForTransferEnd(std::chrono::milliseconds limit) {
  std::unique_lock lock(end_mutex_);
  bool ended = end_signal_.wait_for(lock, limit, [this] { return ends_ != ends_seen_; });
  ends_seen_ = ends_;
  return ended;
}

bool CrawlScheduler::DialUpKeepCheck() {
  if (doc_.settings.keep_dial_up == 0) return true;
  // Dialling shows a dialog: a tick arriving meanwhile, also when a command
  // started this transfer outside the tick, must not run.
  platform::ReentryGuard guard(tick_running_);
  bool up = hooks_->DialUpKeepCheck(doc_);
  if (!up) doc_.settings.keep_dial_up = 0;
  return up;
}

}  // namespace marovine
