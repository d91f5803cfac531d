#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "marovine/document/download_row_model.h"
#include "marovine/document/ui_services.h"

namespace marovine {
class CrawlControl;
}

namespace marovine::cli {

// Messages go to stderr; questions are answered No (nobody is there to ask);
// status texts are kept for the progress display.
class CliUiServices : public UiServices {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool) override {}
  void NoteIgnoredLink(const std::string& url, const std::string& word) override;
  // The lines noted since the last call.
  std::vector<std::string> TakeNotes();

  // Pane 0 holds messages, 1 the progress of the crawl ("終了しました。"), 2 its
  // run state.
  static constexpr int kPanes = 3;
  const std::string& status(int pane) const;

 private:
  std::string status_[kPanes];
  std::vector<std::string> notes_;
};

// The download view without a window: the rows as the GUI shows them, plus a
// line for every item that reaches its end (done, page, rejected, error,
// stopped) for the progress display to print.
class CliDownloadView : public DownloadRowModel {
 public:
  void SetImage(int image, int row) override;
  std::vector<std::string> TakeFinishedLines();
  // Items that ended in error since the view was made.
  int failed_count() const { return failed_count_; }

 private:
  std::vector<std::string> finished_;
  int failed_count_ = 0;
  int last_finished_row_ = -1;
  int last_finished_image_ = -1;
};

// Prints the crawl's progress: on a terminal a block of live lines (the site
// being searched and one row per running transfer) redrawn in place, with
// finished items scrolling above it; elsewhere plain lines only.
class ProgressPrinter {
 public:
  ProgressPrinter(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  void Refresh(const CrawlControl& crawl, CliDownloadView& view, CliUiServices& ui);
  // Ends the live block and prints a last line.
  void Finish(const std::string& line);

 private:
  void ClearLiveBlock();

  std::FILE* out_;
  bool terminal_;
  int live_lines_ = 0;
  std::string last_site_;
  std::string last_title_;
  std::string last_status_[2];
};

// The text with every control character (C0, DEL, C1 in UTF-8) replaced by
// "?": page titles and URLs come from servers and must not drive the terminal.
std::string Printable(std::string_view text);

// One row of the download view as a line: name, size, %, speed, elapsed,
// retries, comment.
std::string FormatProgressRow(const DownloadRowModel::Row& row);

}  // namespace marovine::cli
