#pragma once

#include <chrono>

namespace marovine {

class CMarovineDoc;

// Drives the crawl the way a front end's timer does: CrawlTick every tick
// period and, in fast mode, the collection and start steps as soon as a
// transfer ends. Returns when nothing more will happen without a command
// (CrawlFinished) or when `limit` has passed; answers whether it finished.
bool RunCrawlUntilFinished(CMarovineDoc& doc, std::chrono::milliseconds limit);

}  // namespace marovine
