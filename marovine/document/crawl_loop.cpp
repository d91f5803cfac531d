#include "marovine/document/crawl_loop.h"

#include <algorithm>
#include <thread>

#include "marovine/document/marovine_doc.h"

namespace marovine {

bool RunCrawlLoop(CMarovineDoc& doc, const CrawlLoopOptions& options) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto next_tick = start;
  bool stopping = false;
  const auto step_done = [&] {
    if (options.after_step) options.after_step();
    return doc.crawl().CrawlFinished();
  };
  for (;;) {
    if (!stopping && options.stop_requested && options.stop_requested()) {
      stopping = true;
      doc.crawl().StopAllCommand();
      if (options.on_stop) options.on_stop();
    }
    auto now = Clock::now();
    if (options.limit && now - start >= *options.limit) return doc.crawl().CrawlFinished();
    if (now >= next_tick) {
      doc.crawl().CrawlTick();
      next_tick += doc.crawl().tick_period();
      if (next_tick < Clock::now()) next_tick = Clock::now() + doc.crawl().tick_period();
      if (step_done()) return true;
      continue;
    }
    Clock::duration wait = next_tick - now;
    if (options.stop_requested) wait = std::min<Clock::duration>(wait, kStopPollPeriod);
    if (options.limit) wait = std::min<Clock::duration>(wait, start + *options.limit - now);
    if (doc.settings.fast_mode != 0) {
      if (doc.crawl().WaitForTransferEnd(
              std::chrono::duration_cast<std::chrono::milliseconds>(wait))) {
        doc.crawl().CollectAndStart();
        if (step_done()) return true;
      }
    } else {
      std::this_thread::sleep_for(wait);
    }
  }
}

bool RunCrawlUntilFinished(CMarovineDoc& doc, std::chrono::milliseconds limit) {
  CrawlLoopOptions options;
  options.limit = limit;
  return RunCrawlLoop(doc, options);
}

}  // namespace marovine
