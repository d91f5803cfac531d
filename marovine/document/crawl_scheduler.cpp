#include "marovine/document/crawl_scheduler.h"

#include "marovine/document/marovine_doc.h"

namespace marovine {

CrawlScheduler::CrawlScheduler(CMarovineDoc& doc) : doc_(doc), proxies_(doc.paths.folder) {
  engine_.SetTransferEndCallback([this] { NotifyTransferEnd(); });
  for (int i = 0; i < kTransferSlotCount; ++i) slots_[i].slot_number = i;
}

CrawlScheduler::~CrawlScheduler() {
  engine_.StopAll();
  FlushDownloadTotals();
  FlushLogWrites();
}

void CrawlScheduler::FlushDownloadTotals() {
  if (pending_totals_.files == 0) return;
  if (AddToDownloadTotals(doc_.profile, pending_totals_)) pending_totals_ = {};
}

void CrawlScheduler::DownloadItemRemoved(int index) {
  listed_urls_.clear();
  listed_count_ = 0;
  next_start_hint_ = 0;
  for (auto& slot : slots_) {
    if (slot.item_index > index) {
      --slot.item_index;
    } else if (slot.item_index == index) {
      // Left bound, the slot would take the next item for its own: its result
      // would mark that item and its file would be counted for it.
      if (slot.status == TS_RUNNING) {
        slot.stop_request = 1;
        engine_.SyncTransferSlot(slot);
      }
      slot.item_index = -1;
    }
  }
}

void CrawlScheduler::DownloadItemsSwapped(int a, int b) {
  for (auto& slot : slots_) {
    if (slot.item_index == a) {
      slot.item_index = b;
    } else if (slot.item_index == b) {
      slot.item_index = a;
    }
  }
}

void CrawlScheduler::StopTransferOf(int index) {
  for (auto& slot : slots_) {
    if (slot.item_index != index || slot.status != TS_RUNNING) continue;
    slot.stop_request = 1;
    engine_.SyncTransferSlot(slot);
  }
}

}  // namespace marovine
