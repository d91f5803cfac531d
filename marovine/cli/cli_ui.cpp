#include "marovine/cli/cli_ui.h"

#include <sys/ioctl.h>

#include <cstdlib>
#include <utility>

#include "marovine/document/crawl_control.h"

namespace marovine::cli {

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      out += '?';
    } else if (c == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      out += '?';
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int TerminalWidth(int fd) {
  struct winsize size {};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    int n = std::atoi(columns);
    if (n > 0) return n;
  }
  return 80;
}

void CliUiServices::ShowMessage(const std::string& text, MessageIcon) {
  std::fprintf(stderr, "marovine-cli: %s\n", Printable(text).c_str());
}

bool CliUiServices::AskYesNo(const std::string& text, MessageIcon) {
  std::fprintf(stderr, "marovine-cli: %s -> No\n", Printable(text).c_str());
  return false;
}

void CliUiServices::SetStatusText(int pane, const std::string& text) {
  if (pane >= 0 && pane < kPanes) status_[pane] = text;
}

void CliUiServices::NoteIgnoredLink(const std::string& url, const std::string& word) {
  // Kept for the printer: several links may be skipped within one tick.
  notes_.push_back("ignored (word \"" + word + "\") " + url);
  ++ignored_count_;
}

void CliUiServices::NoteFailure(const std::string& text) {
  ShowMessage(text, MessageIcon::kError);
  ++failure_count_;
}

std::vector<std::string> CliUiServices::TakeNotes() { return std::exchange(notes_, {}); }

const std::string& CliUiServices::status(int pane) const {
  static const std::string kNone;
  return pane >= 0 && pane < kPanes ? status_[pane] : kNone;
}

int CliDownloadView::AppendRow(const std::string& url) {
  const int before = RowCount();
  int row = DownloadRowModel::AppendRow(url);
  if (RowCount() > before) {
    states_.emplace_back();
    ++found_;
  }
  return row;
}

void CliDownloadView::UpdateProgress(int row, std::int64_t received, std::int64_t total,
                                     int elapsed, const std::string& comment, int retry_count) {
  DownloadRowModel::UpdateProgress(row, received, total, elapsed, comment, retry_count);
  if (row >= 0 && row < static_cast<int>(states_.size()) && received > 0) {
    states_[static_cast<std::size_t>(row)].received = received;
  }
}

void CliDownloadView::Ended(int row, ItemOutcome outcome, const TransferSlot* slot) {
  RowState& state = states_[static_cast<std::size_t>(row)];
  if (slot != nullptr && slot->received > state.received) state.received = slot->received;
  // A page is first marked done, then as a page: it counts once, as a page.
  const bool page_after_done =
      outcome == ItemOutcome::kPage && state.ended &&
      (state.outcome == ItemOutcome::kFetched || state.outcome == ItemOutcome::kUnchanged);
  if (page_after_done) {
    counts_.Add(state.outcome, -1);
  } else if (state.ended) {
    return;  // told already
  } else if (outcome == ItemOutcome::kFetched || outcome == ItemOutcome::kPage) {
    counts_.bytes += state.received;
  }
  counts_.Add(outcome);
  state.ended = true;
  state.outcome = outcome;

  const Row& r = rows()[static_cast<std::size_t>(row)];
  const char* word = "done   ";
  LineLevel level = LineLevel::kNormal;
  switch (outcome) {
    case ItemOutcome::kFetched:
    case ItemOutcome::kUnchanged:
      break;
    case ItemOutcome::kPage:
      word = "page   ";
      break;
    case ItemOutcome::kSize:
      word = "size   ";
      break;
    case ItemOutcome::kInLog:
      word = "in log ";
      level = LineLevel::kVerbose;
      break;
    case ItemOutcome::kFailed:
      word = "error  ";
      level = LineLevel::kError;
      break;
    case ItemOutcome::kStopped:
      word = "stopped";
      break;
  }
  std::string line = std::string(word) + " " + r.cells[kUrl];
  if (!r.cells[kSize].empty()) line += "  " + r.cells[kSize];
  if (!r.cells[kComment].empty()) line += "  " + r.cells[kComment];
  if (page_after_done && row == last_finished_row_ && !finished_.empty()) {
    finished_.back() = {level, std::move(line)};
  } else {
    if (slot != nullptr && !slot->url.empty() && slot->url != r.cells[kUrl] &&
        !r.cells[kUrl].empty()) {
      finished_.push_back({LineLevel::kVerbose, "redirect " + r.cells[kUrl] + " -> " + slot->url});
    }
    finished_.push_back({level, std::move(line)});
  }
  last_finished_row_ = row;
}

void CliDownloadView::SetImage(int image, int row) {
  DownloadRowModel::SetImage(image, row);
  if (row < 0 || row >= RowCount() || row >= static_cast<int>(states_.size())) return;
  const TransferSlot* slot = SlotOf(row);
  if (auto outcome = OutcomeOf(image, slot)) Ended(row, *outcome, slot);
}

void CliDownloadView::DeleteRow(int row) {
  if (row >= 0 && row < static_cast<int>(states_.size())) {
    // An item that leaves the list as its transfer ends (the setting to clear
    // each finished item) may leave without an end image: its slot still
    // says how it ended.
    const TransferSlot* slot = SlotOf(row);
    if (!states_[static_cast<std::size_t>(row)].ended && slot != nullptr &&
        slot->status != TS_IDLE && slot->status != TS_RUNNING) {
      ItemOutcome outcome = slot->status == TS_STOPPED         ? ItemOutcome::kStopped
                            : slot->status == TS_SIZE_REJECTED ? ItemOutcome::kSize
                            : slot->status == TS_DONE          ? ItemOutcome::kFetched
                            : slot->status == TS_NOT_MODIFIED  ? ItemOutcome::kUnchanged
                                                               : *OutcomeOf(IMAGE_ERROR, slot);
      Ended(row, outcome, slot);
    }
    states_.erase(states_.begin() + row);
    if (last_finished_row_ == row) last_finished_row_ = -1;
  }
  DownloadRowModel::DeleteRow(row);
}

void CliDownloadView::ResetRow(const std::string& url, int row) {
  DownloadRowModel::ResetRow(url, row);
  if (row >= 0 && row < static_cast<int>(states_.size())) {
    states_[static_cast<std::size_t>(row)] = RowState{};
  }
}

void CliDownloadView::SwapRows(int a, int b) {
  DownloadRowModel::SwapRows(a, b);
  const int n = static_cast<int>(states_.size());
  if (a >= 0 && b >= 0 && a < n && b < n) {
    std::swap(states_[static_cast<std::size_t>(a)], states_[static_cast<std::size_t>(b)]);
  }
}

std::vector<PrintedLine> CliDownloadView::TakeFinishedLines() {
  return std::exchange(finished_, {});
}

ProgressPrinter::ProgressPrinter(std::FILE* out, bool terminal, int width, Verbosity verbosity)
    : out_(out),
      live_(terminal && verbosity != Verbosity::kQuiet),
      verbosity_(verbosity),
      block_(width) {}

bool ProgressPrinter::Shows(LineLevel level) const {
  switch (level) {
    case LineLevel::kError:
      return true;
    case LineLevel::kNormal:
      return verbosity_ != Verbosity::kQuiet;
    case LineLevel::kVerbose:
      return verbosity_ == Verbosity::kVerbose;
  }
  return true;
}

std::vector<std::string> ProgressPrinter::LiveLines(const CrawlControl& crawl,
                                                    const CliDownloadView& view,
                                                    const CliUiServices& ui,
                                                    std::int64_t elapsed_seconds) {
  std::vector<std::string> lines;
  const auto now = RateMeter::Clock::now();
  std::map<std::string, RateMeter> still_running;
  for (const TransferSlot& slot : crawl.transfer_slots()) {
    if (slot.status != TS_RUNNING) continue;
    if (slot.item_index < 0 || slot.item_index >= view.RowCount()) continue;
    const auto& row = view.rows()[static_cast<std::size_t>(slot.item_index)];
    RateMeter& meter = still_running[slot.url];
    if (auto old = rates_.find(slot.url); old != rates_.end()) meter = old->second;
    meter.Add(slot.received, now);
    TransferLine line;
    line.name = row.cells[DownloadRowModel::kFileName];
    if (line.name.empty()) line.name = row.cells[DownloadRowModel::kUrl];  // a site's start page
    line.received = slot.received;
    line.total = slot.expected_size;
    line.rate = meter.BytesPerSecond();
    line.elapsed = slot.elapsed;
    line.retries = slot.RetryCount;
    line.comment = slot.status_text;
    lines.push_back(FormatTransferLine(line, block_.width()));
  }
  rates_ = std::move(still_running);

  OverallLine overall;
  overall.ended = view.counts().ended();
  overall.found = view.found_count();
  overall.bytes = view.counts().bytes;
  for (const TransferSlot& slot : crawl.transfer_slots()) {
    if (slot.status == TS_RUNNING) overall.bytes += slot.received;
  }
  overall.elapsed = elapsed_seconds;
  for (int pane : {2, 1, 0}) {
    if (ui.status(pane).empty()) continue;
    if (!overall.status.empty()) overall.status += "  ";
    overall.status += ui.status(pane);
  }
  lines.push_back(FormatOverallLine(overall, block_.width()));
  return lines;
}

void ProgressPrinter::Refresh(const CrawlControl& crawl, CliDownloadView& view, CliUiServices& ui,
                              std::int64_t elapsed_seconds) {
  std::vector<std::string> scrolled;
  auto add = [&](LineLevel level, const std::string& text) {
    if (Shows(level)) scrolled.push_back(Printable(text));
  };
  const LinkItem* site = nullptr;
  for (const LinkItem& link : crawl.links()) {
    if (link.state == LS_SEARCHING) {
      site = &link;
      break;
    }
  }
  if (site != nullptr && site->url != last_site_) {
    add(LineLevel::kNormal, "site   " + site->url);
    last_site_ = site->url;
    last_title_.clear();
  }
  if (site != nullptr && site->title != last_title_ && !site->title.empty()) {
    add(LineLevel::kNormal, "title  " + site->title);
    last_title_ = site->title;
  }
  for (const PrintedLine& line : view.TakeFinishedLines()) add(line.level, line.text);
  for (const std::string& note : ui.TakeNotes()) add(LineLevel::kVerbose, "status " + note);
  if (!live_) {
    // Messages and the crawl's progress, each once; the running count of
    // links being checked only on a terminal.
    for (int pane : {0, 1}) {
      const std::string& text = ui.status(pane);
      if (text != last_status_[pane] && !text.empty() &&
          text.find("Please Wait") == std::string::npos) {
        add(LineLevel::kNormal, "status " + text);
      }
      last_status_[pane] = text;
    }
    for (const std::string& line : scrolled) std::fprintf(out_, "%s\n", line.c_str());
  } else {
    block_.set_width(TerminalWidth(fileno(out_)));
    std::string frame = block_.Render(scrolled, LiveLines(crawl, view, ui, elapsed_seconds));
    std::fwrite(frame.data(), 1, frame.size(), out_);
  }
  std::fflush(out_);
}

void ProgressPrinter::Finish(const std::string& line) {
  if (live_) {
    std::string clear = block_.Clear();
    std::fwrite(clear.data(), 1, clear.size(), out_);
  }
  // On a pipe the crawl's last status may have been printed already.
  const bool said = !live_ && line == last_status_[1];
  if (verbosity_ != Verbosity::kQuiet && !said) std::fprintf(out_, "%s\n", Printable(line).c_str());
  std::fflush(out_);
}

}  // namespace marovine::cli
