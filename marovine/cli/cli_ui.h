#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "marovine/cli/crawl_options.h"
#include "marovine/cli/progress_text.h"
#include "marovine/cli/run_summary.h"
#include "marovine/document/download_row_model.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/transfer_slot.h"

namespace marovine {
class CrawlControl;
}

namespace marovine::cli {

// How much a printed line matters: errors show even with -q, details only
// with -v.
enum class LineLevel { kError, kNormal, kVerbose };

struct PrintedLine {
  LineLevel level;
  std::string text;
};

// Messages go to stderr; questions are answered No (nobody is there to ask);
// status texts are kept for the progress display.
class CliUiServices : public UiServices {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool) override {}
  void NoteIgnoredLink(const std::string& url, const std::string& word) override;
  void NoteFailure(const std::string& text) override;
  // Failures besides the transfers' since the start.
  int failure_count() const { return failure_count_; }
  // The lines noted since the last call.
  std::vector<std::string> TakeNotes();
  // Links skipped for an ignore word since the start.
  int ignored_count() const { return ignored_count_; }

  // Pane 0 holds messages, 1 the progress of the crawl ("終了しました。"), 2 its
  // run state.
  static constexpr int kPanes = 3;
  const std::string& status(int pane) const;

 private:
  std::string status_[kPanes];
  std::vector<std::string> notes_;
  int ignored_count_ = 0;
  int failure_count_ = 0;
};

// The download view without a window: the rows as the GUI shows them, the
// numbers of each row, the outcome of every item that reaches its end (told
// apart by the status its transfer ended with) and a line for each.
class CliDownloadView : public DownloadRowModel {
 public:
  // Answers the transfer slot of a row while the item's end is handled.
  using SlotOfRow = std::function<const TransferSlot*(int row)>;
  void SetSlotOfRow(SlotOfRow slot_of_row) { slot_of_row_ = std::move(slot_of_row); }

  int AppendRow(const std::string& url) override;
  void UpdateProgress(int row, std::int64_t received, std::int64_t total, int elapsed,
                      const std::string& comment, int retry_count) override;
  void SetImage(int image, int row) override;
  void DeleteRow(int row) override;
  void ResetRow(const std::string& url, int row) override;
  void SwapRows(int a, int b) override;

  std::vector<PrintedLine> TakeFinishedLines();
  // The outcomes so far (sites and ignored links are counted elsewhere).
  const RunCounts& counts() const { return counts_; }
  int found_count() const { return found_; }

 private:
  struct RowState {
    std::int64_t received = 0;
    bool ended = false;
    ItemOutcome outcome = ItemOutcome::kFetched;
  };
  const TransferSlot* SlotOf(int row) const { return slot_of_row_ ? slot_of_row_(row) : nullptr; }
  void Ended(int row, ItemOutcome outcome, const TransferSlot* slot);

  SlotOfRow slot_of_row_;
  std::vector<RowState> states_;
  std::vector<PrintedLine> finished_;
  RunCounts counts_;
  int found_ = 0;
  int last_finished_row_ = -1;
};

// Prints the crawl's progress. On a terminal, a block of live lines (one per
// running transfer and an overall line) is redrawn in place under the
// finished items, which scroll above it; elsewhere, and with -q, plain lines
// only. -q keeps only errors, -v adds skipped links, log hits and redirects.
class ProgressPrinter {
 public:
  ProgressPrinter(std::FILE* out, bool terminal, int width, Verbosity verbosity);
  void Refresh(const CrawlControl& crawl, CliDownloadView& view, CliUiServices& ui,
               std::int64_t elapsed_seconds);
  // Ends the live block and prints a last line (not with -q).
  void Finish(const std::string& line);

 private:
  bool Shows(LineLevel level) const;
  std::vector<std::string> LiveLines(const CrawlControl& crawl, const CliDownloadView& view,
                                     const CliUiServices& ui, std::int64_t elapsed_seconds);

  std::FILE* out_;
  bool live_;
  Verbosity verbosity_;
  LiveBlock block_;
  std::string last_site_;
  std::string last_title_;
  std::string last_status_[2];
  std::map<std::string, RateMeter> rates_;  // by the URL a slot fetches
};

// The text with every control character (C0, DEL, C1 in UTF-8) replaced by
// "?": page titles and URLs come from servers and must not drive the terminal.
std::string Printable(std::string_view text);

// The columns of the terminal `fd` is, or of $COLUMNS, or 80.
int TerminalWidth(int fd);

}  // namespace marovine::cli
