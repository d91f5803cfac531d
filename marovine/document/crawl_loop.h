#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace marovine {

class CMarovineDoc;

// What a driver of the crawl wants besides the ticks themselves.
struct CrawlLoopOptions {
  // Gives up when this much time has passed; none: runs until finished.
  std::optional<std::chrono::milliseconds> limit;
  // Called after every tick and every fast-mode collection (progress output).
  std::function<void()> after_step;
  // Polled at least every kStopPollPeriod; once it answers true every
  // transfer is stopped and the loop runs on until the crawl has finished.
  std::function<bool()> stop_requested;
  std::function<void()> on_stop;
  // In fast mode, the thread whose transfer ends collects it and starts the
  // next item itself, taking turns on the document with the loop's thread;
  // the loop's thread then only ticks, prints and watches for the end. Only
  // for a driver whose document no other thread (no window) reads.
  bool collect_on_ending_thread = false;
};

inline constexpr std::chrono::milliseconds kStopPollPeriod{100};

// Drives the crawl the way a front end's timer does: CrawlTick every tick
// period and, in fast mode, the collection and start steps as soon as a
// transfer ends. A tick that ran late is followed by a full period, like a
// timer that does not queue the firings it missed. Returns when nothing more
// will happen without a command (CrawlFinished) or when the limit has
// passed; answers whether it finished.
bool RunCrawlLoop(CMarovineDoc& doc, const CrawlLoopOptions& options);

bool RunCrawlUntilFinished(CMarovineDoc& doc, std::chrono::milliseconds limit);

}  // namespace marovine
