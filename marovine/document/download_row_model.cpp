#include "marovine/document/download_row_model.h"

#include <charconv>
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

void DownloadRowModel::SetCell(Row& row, Column column, std::string_view text) {
  if (row.cells[column] == text) return;
  row.cells[column].assign(text);
  ++cell_writes_;
}

void DownloadRowModel::UpdateProgress(int row, std::int64_t received, std::int64_t total,
                                      int elapsed, const std::string& comment, int retry_count) {
  if (!Valid(row)) return;
  Row& r = rows_[row];
  // Numbers without printf: in fast mode rows change thousands of times a
  // second.
  char text[64];
  char* const end = text + sizeof text;
  auto cell = [&](Column column, char* until) {
    SetCell(r, column, std::string_view(text, static_cast<std::size_t>(until - text)));
  };
  char* at = std::to_chars(text, end, received / 1024).ptr;
  *at++ = '/';
  cell(kSize, std::to_chars(at, end, total / 1024).ptr);
  at = std::to_chars(text, end, elapsed / 60).ptr;
  *at++ = ':';
  const int seconds = elapsed % 60;
  if (seconds >= 0 && seconds < 10) *at++ = '0';  // two digits, as "%02d" writes them
  cell(kElapsed, std::to_chars(at, end, seconds).ptr);
  cell(kRetry, std::to_chars(text, end, retry_count).ptr);
  SetCell(r, kComment, comment);
  cell(kSpeed, std::to_chars(text, end, elapsed > 0 ? received * 8 / elapsed : 0).ptr);
  cell(kPercent, std::to_chars(text, end, total != 0 ? received * 100 / total : 0).ptr);
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
