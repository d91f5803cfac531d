#include "marovine/cli/run_summary.h"

#include "marovine/cli/progress_text.h"
#include "marovine/document/download_list_view.h"

namespace marovine::cli {
namespace {

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::optional<ItemOutcome> OutcomeOf(int image, const TransferSlot* slot) {
  const TransferStatus status = slot != nullptr ? slot->status : TS_IDLE;
  switch (image) {
    case IMAGE_DONE:
      // A stopped item that was no longer running is shown as done too; it
      // has not been fetched.
      if (status == TS_STOPPED) return ItemOutcome::kStopped;
      return status == TS_NOT_MODIFIED ? ItemOutcome::kUnchanged : ItemOutcome::kFetched;
    case IMAGE_PAGE:
      return ItemOutcome::kPage;
    case IMAGE_SIZE_REMOVED:
      return ItemOutcome::kSize;
    case IMAGE_ERROR:
      // The list shows a file found in the download log as an error, but the
      // run skipped it on purpose.
      return status == TS_IN_LOG ? ItemOutcome::kInLog : ItemOutcome::kFailed;
    case IMAGE_STOPPED:
      return ItemOutcome::kStopped;
    default:
      return std::nullopt;
  }
}

void RunCounts::Add(ItemOutcome outcome, int step) {
  switch (outcome) {
    case ItemOutcome::kFetched:
      fetched += step;
      break;
    case ItemOutcome::kPage:
      pages += step;
      break;
    case ItemOutcome::kUnchanged:
      unchanged += step;
      break;
    case ItemOutcome::kInLog:
      in_log += step;
      break;
    case ItemOutcome::kSize:
      size += step;
      break;
    case ItemOutcome::kFailed:
      failed += step;
      break;
    case ItemOutcome::kStopped:
      stopped += step;
      break;
  }
}

std::string FormatSummary(const RunCounts& c, std::int64_t seconds) {
  std::string text = "summary: " + Count(c.sites, "site", "sites") + " searched, " +
                     Count(c.fetched, "file", "files") + " fetched";
  if (c.pages > 0) text += " (+" + Count(c.pages, "page", "pages") + ")";
  if (c.unchanged > 0) text += ", " + std::to_string(c.unchanged) + " unchanged";
  text += ", " + std::to_string(c.in_log + c.ignored + c.size) + " skipped (log " +
          std::to_string(c.in_log) + ", ignore words " + std::to_string(c.ignored) + ", size " +
          std::to_string(c.size) + "), " + std::to_string(c.failed) + " failed";
  if (c.stopped > 0) text += ", " + std::to_string(c.stopped) + " stopped";
  return text + ", " + HumanBytes(c.bytes) + " in " + std::to_string(seconds) + " s";
}

}  // namespace marovine::cli
