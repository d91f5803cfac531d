#include "marovine/cli/cli_ui.h"

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
}

std::vector<std::string> CliUiServices::TakeNotes() { return std::exchange(notes_, {}); }

const std::string& CliUiServices::status(int pane) const {
  static const std::string kNone;
  return pane >= 0 && pane < kPanes ? status_[pane] : kNone;
}

void CliDownloadView::SetImage(int image, int row) {
  DownloadRowModel::SetImage(image, row);
  const char* word = nullptr;
  switch (image) {
    case IMAGE_DONE:
      word = "done   ";
      break;
    case IMAGE_PAGE:
      word = "page   ";
      break;
    case IMAGE_SIZE_REMOVED:
      word = "size   ";
      break;
    case IMAGE_ERROR:
      word = "error  ";
      ++failed_count_;
      break;
    case IMAGE_STOPPED:
      word = "stopped";
      break;
    default:
      return;
  }
  if (row < 0 || row >= RowCount()) return;
  const Row& r = rows()[row];
  std::string line = std::string(word) + " " + r.cells[kUrl];
  if (!r.cells[kSize].empty()) line += "  " + r.cells[kSize];
  if (!r.cells[kComment].empty()) line += "  " + r.cells[kComment];
  // A page is first marked done, then as a page: one line says it.
  bool page_after_done = image == IMAGE_PAGE && last_finished_row_ == row &&
                         last_finished_image_ == IMAGE_DONE && !finished_.empty();
  if (page_after_done) {
    finished_.back() = std::move(line);
  } else {
    finished_.push_back(std::move(line));
  }
  last_finished_row_ = row;
  last_finished_image_ = image;
}

std::vector<std::string> CliDownloadView::TakeFinishedLines() {
  std::vector<std::string> lines;
  lines.swap(finished_);
  return lines;
}

std::string FormatProgressRow(const DownloadRowModel::Row& row) {
  using M = DownloadRowModel;
  char line[512];
  std::snprintf(
      line, sizeof line, "%-32.32s %12s %5s %11s %6s %2s  %s", row.cells[M::kFileName].c_str(),
      row.cells[M::kSize].c_str(), row.cells[M::kPercent].c_str(), row.cells[M::kSpeed].c_str(),
      row.cells[M::kElapsed].c_str(), row.cells[M::kRetry].c_str(), row.cells[M::kComment].c_str());
  return line;
}

void ProgressPrinter::ClearLiveBlock() {
  if (!terminal_ || live_lines_ == 0) return;
  std::fprintf(out_, "\x1b[%dA\x1b[J", live_lines_);
  live_lines_ = 0;
}

void ProgressPrinter::Refresh(const CrawlControl& crawl, CliDownloadView& view, CliUiServices& ui) {
  ClearLiveBlock();
  const LinkItem* site = nullptr;
  for (const LinkItem& link : crawl.links()) {
    if (link.state == LS_SEARCHING) {
      site = &link;
      break;
    }
  }
  if (site != nullptr && site->url != last_site_) {
    std::fprintf(out_, "site   %s\n", Printable(site->url).c_str());
    last_site_ = site->url;
    last_title_.clear();
  }
  if (site != nullptr && site->title != last_title_ && !site->title.empty()) {
    std::fprintf(out_, "title  %s\n", Printable(site->title).c_str());
    last_title_ = site->title;
  }
  for (const std::string& line : view.TakeFinishedLines()) {
    std::fprintf(out_, "%s\n", Printable(line).c_str());
  }
  for (const std::string& line : ui.TakeNotes()) {
    std::fprintf(out_, "status %s\n", Printable(line).c_str());
  }
  if (!terminal_) {
    // Messages and the crawl's progress, each once; the running count of
    // links being checked only on a terminal.
    for (int pane : {0, 1}) {
      const std::string& text = ui.status(pane);
      if (text != last_status_[pane] && !text.empty() &&
          text.find("Please Wait") == std::string::npos) {
        std::fprintf(out_, "status %s\n", Printable(text).c_str());
      }
      last_status_[pane] = text;
    }
    std::fflush(out_);
    return;
  }
  // The live block: what runs now.
  std::vector<std::string> lines;
  for (const TransferSlot& slot : crawl.transfer_slots()) {
    if (slot.status != TS_RUNNING) continue;
    if (slot.item_index < 0 || slot.item_index >= view.RowCount()) continue;
    lines.push_back(FormatProgressRow(view.rows()[slot.item_index]));
  }
  std::string status;
  for (int pane : {2, 1, 0}) {
    if (ui.status(pane).empty()) continue;
    if (!status.empty()) status += "  ";
    status += ui.status(pane);
  }
  lines.push_back(status);
  for (const std::string& line : lines) {
    std::fprintf(out_, "\x1b[2K%s\n", Printable(line).c_str());
  }
  live_lines_ = static_cast<int>(lines.size());
  std::fflush(out_);
}

void ProgressPrinter::Finish(const std::string& line) {
  ClearLiveBlock();
  std::fprintf(out_, "%s\n", Printable(line).c_str());
  std::fflush(out_);
}

}  // namespace marovine::cli
