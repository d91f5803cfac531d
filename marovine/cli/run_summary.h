#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "marovine/engine/transfer_slot.h"

namespace marovine::cli {

// How one item of the download list ended in this run.
enum class ItemOutcome {
  kFetched,    // a file, complete
  kPage,       // a page, fetched to be searched
  kUnchanged,  // the server said it had not changed since the last fetch
  kInLog,      // skipped: the download log has it already
  kSize,       // skipped: too small or too large
  kFailed,
  kStopped,  // stopped by the user; it waits for the next run
};

// The outcome an end image of the download view stands for, told apart by
// the status the item's transfer ended with (`slot`, when the item had one).
// Nothing for images that are no end (waiting, running, waiting again).
std::optional<ItemOutcome> OutcomeOf(int image, const TransferSlot* slot);

// What the run did, counted from the items' outcomes, the links skipped for
// an ignore word and the sites searched.
struct RunCounts {
  int sites = 0;
  int fetched = 0;
  int pages = 0;
  int unchanged = 0;
  int in_log = 0;
  int ignored = 0;
  int size = 0;
  int failed = 0;
  int stopped = 0;
  std::int64_t bytes = 0;

  void Add(ItemOutcome outcome, int step = 1);
  int ended() const { return fetched + pages + unchanged + in_log + size + failed + stopped; }
};

// The last line of a run: "summary: 1 site searched, 3 files fetched (+2
// pages), 4 skipped (log 1, ignore words 2, size 1), 1 failed, 1.2 MB in 3 s".
std::string FormatSummary(const RunCounts& counts, std::int64_t seconds);

}  // namespace marovine::cli
