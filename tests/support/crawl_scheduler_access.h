#pragma once

#include <array>

#include "marovine/document/crawl_scheduler.h"

namespace marovine {

// What a document test sets up by hand that only the crawl itself changes:
// the slots' items and the running flag.
struct CrawlSchedulerTestAccess {
  static std::array<TransferSlot, kTransferSlotCount>& Slots(CrawlScheduler& crawl) {
    return crawl.slots_;
  }
  static void SetRunning(CrawlScheduler& crawl, bool on) { crawl.crawl_running_ = on ? 1 : 0; }
};

}  // namespace marovine
