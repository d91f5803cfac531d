#pragma once

#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "marovine/document/download_list_view.h"

namespace marovine {

// A download list view without a window, keeping the eight cell texts and the
// image of every row as the GUI view shows them.
class DownloadRowModel : public DownloadListView {
 public:
  enum Column { kFileName, kSize, kPercent, kSpeed, kElapsed, kRetry, kComment, kUrl, kColumns };
  struct Row {
    std::array<std::string, kColumns> cells;
    int image = IMAGE_WAITING;
  };

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int AppendRow(const std::string& url) override;
  void UpdateProgress(int row, std::int64_t received, std::int64_t total, int elapsed,
                      const std::string& comment, int retry_count) override;
  void SetImage(int image, int row) override;
  std::vector<int> SelectedRows(int maximum) const override;
  void DeleteRow(int row) override;
  void ResetRow(const std::string& url, int row) override;
  void SwapRows(int a, int b) override;
  void ScrollToTop(int row) override {
    if (Valid(row)) top_row_ = row;
  }

  const std::vector<Row>& rows() const { return rows_; }
  int top_row() const { return top_row_; }
  void Select(int row) { selected_.insert(row); }
  void ClearSelection() { selected_.clear(); }
  // Cell writes that changed a text; idle progress updates must not add any.
  int cell_writes() const { return cell_writes_; }

 private:
  bool Valid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
  void SetCell(Row& row, Column column, std::string_view text);

  std::vector<Row> rows_;
  std::set<int> selected_;
  int cell_writes_ = 0;
  int top_row_ = 0;
};

// The file-name column: the text after the URL's last "/".
std::string DownloadRowFileName(const std::string& url);

}  // namespace marovine
