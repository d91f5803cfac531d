#include "marovine/document/crawl_loop.h"

#include <thread>

#include "marovine/document/marovine_doc.h"

namespace marovine {

bool RunCrawlUntilFinished(CMarovineDoc& doc, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  auto next_tick = Clock::now();
  while (Clock::now() < deadline) {
    auto now = Clock::now();
    if (now < next_tick) {
      auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next_tick - now);
      if (doc.settings.fast_mode != 0) {
        if (doc.WaitForTransferEnd(wait)) doc.CollectAndStart();
        continue;
      }
      std::this_thread::sleep_for(wait);
    }
    doc.CrawlTick();
    next_tick += doc.tick_period();
    // A tick that ran long does not make the next ones crowd in.
    if (next_tick < Clock::now()) next_tick = Clock::now();
    if (doc.CrawlFinished()) return true;
  }
  return doc.CrawlFinished();
}

}  // namespace marovine
