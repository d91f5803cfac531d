#include "marovine/document/download_row_model.h"

#include <cstdio>
#include <utility>

namespace marovine {

std::string DownloadRowFileName(const std::string& url) {
  auto slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}

int DownloadRowModel::AppendRow(const std::string& url) {
  if (RowCount() >= kMaxDownloadRows) return kMaxDownloadRows - 1;
  Row row;
  row.cells[kFileName] = DownloadRowFileName(url);
  row.cells[kUrl] = url;
  rows_.push_back(std::move(row));
  return RowCount() - 1;
}

void DownloadRowModel::SetCell(Row& row, Column column, const std::string& text) {
  if (row.cells[column] == text) return;
  row.cells[column] = text;
  ++cell_writes_;
}

void DownloadRowModel::UpdateProgress(int row, std::int64_t received, std::int64_t total,
                                      int elapsed, const std::string& comment, int retry_count) {
  if (!Valid(row)) return;
  Row& r = rows_[row];
  char text[64];
  std::snprintf(text, sizeof text, "%lld/%lld", static_cast<long long>(received / 1024),
                static_cast<long long>(total / 1024));
  SetCell(r, kSize, text);
  std::snprintf(text, sizeof text, "%d:%02d", elapsed / 60, elapsed % 60);
  SetCell(r, kElapsed, text);
  SetCell(r, kRetry, std::to_string(retry_count));
  SetCell(r, kComment, comment);
  SetCell(r, kSpeed, std::to_string(elapsed > 0 ? received * 8 / elapsed : 0));
  SetCell(r, kPercent, std::to_string(total != 0 ? received * 100 / total : 0));
}

void DownloadRowModel::SetImage(int image, int row) {
  if (Valid(row)) rows_[row].image = image;
}

std::vector<int> DownloadRowModel::SelectedRows(int maximum) const {
  std::vector<int> rows;
  for (int row : selected_) {
    if (static_cast<int>(rows.size()) >= maximum) break;
    rows.push_back(row);
  }
  return rows;
}

void DownloadRowModel::DeleteRow(int row) {
  if (!Valid(row)) return;
  rows_.erase(rows_.begin() + row);
  std::set<int> moved;
  for (int selected : selected_) {
    if (selected < row) moved.insert(selected);
    if (selected > row) moved.insert(selected - 1);
  }
  selected_ = std::move(moved);
}

void DownloadRowModel::ResetRow(const std::string& url, int row) {
  if (!Valid(row)) return;
  for (auto& cell : rows_[row].cells) cell.clear();
  rows_[row].cells[kFileName] = DownloadRowFileName(url);
  rows_[row].cells[kUrl] = url;
}

void DownloadRowModel::SwapRows(int a, int b) {
  if (!Valid(a) || !Valid(b)) return;
  std::swap(rows_[a].cells, rows_[b].cells);
}

}  // namespace marovine
