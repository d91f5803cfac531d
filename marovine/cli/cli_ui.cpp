#include "marovine/cli/cli_ui.h"

#include "marovine/document/marovine_doc.h"

namespace marovine::cli {

void CliUiServices::ShowMessage(const std::string& text, MessageIcon) {
  std::fprintf(stderr, "marovine-cli: %s\n", text.c_str());
}

bool CliUiServices::AskYesNo(const std::string& text, MessageIcon) {
  std::fprintf(stderr, "marovine-cli: %s -> No\n", text.c_str());
  return false;
}

void CliUiServices::SetStatusText(int pane, const std::string& text) {
  status_[pane == 0 ? 0 : 1] = text;
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
  finished_.push_back(std::move(line));
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

void ProgressPrinter::Refresh(const CMarovineDoc& doc, CliDownloadView& view,
                              const CliUiServices& ui) {
  ClearLiveBlock();
  std::string site;
  for (const LinkItem& link : doc.link_items) {
    if (link.state == LS_SEARCHING) {
      site = link.url + (link.title.empty() ? "" : "  " + link.title);
      break;
    }
  }
  if (site != last_site_ && !site.empty()) std::fprintf(out_, "site   %s\n", site.c_str());
  last_site_ = site;
  for (const std::string& line : view.TakeFinishedLines()) std::fprintf(out_, "%s\n", line.c_str());
  if (!terminal_) {
    if (ui.status(0) != last_status_ && !ui.status(0).empty()) {
      std::fprintf(out_, "status %s\n", ui.status(0).c_str());
    }
    last_status_ = ui.status(0);
    std::fflush(out_);
    return;
  }
  // The live block: what runs now.
  std::vector<std::string> lines;
  for (const TransferSlot& slot : doc.slots) {
    if (slot.status != TS_RUNNING) continue;
    if (slot.item_index < 0 || slot.item_index >= view.RowCount()) continue;
    lines.push_back(FormatProgressRow(view.rows()[slot.item_index]));
  }
  std::string status = ui.status(0);
  if (!ui.status(1).empty()) status += (status.empty() ? "" : "  ") + ui.status(1);
  lines.push_back(status);
  for (const std::string& line : lines) std::fprintf(out_, "\x1b[2K%s\n", line.c_str());
  live_lines_ = static_cast<int>(lines.size());
  std::fflush(out_);
}

void ProgressPrinter::Finish(const std::string& line) {
  ClearLiveBlock();
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

}  // namespace marovine::cli
