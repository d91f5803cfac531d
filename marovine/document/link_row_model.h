#pragma once

#include <set>
#include <string>
#include <vector>

#include "marovine/document/link_list_view.h"

namespace marovine {

// A link list view without a window: it keeps the rows the hints make, so the
// CLI and the tests run the document unchanged, and the GUI view can be
// checked against it.
class LinkRowModel : public LinkListView {
 public:
  struct Row {
    std::string url;    // column "URL"
    std::string title;  // column "タイトル"
    std::string count;  // column "総ファイル数"
    int image = -1;     // state image + 3 * group; -1 until set
  };

  void OnHint(ViewHint& hint) override;

  const std::vector<Row>& rows() const { return rows_; }
  int top_row() const { return top_row_; }
  void Select(int row) { selected_.insert(row); }
  void ClearSelection() { selected_.clear(); }

 private:
  bool Valid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

  std::vector<Row> rows_;
  std::set<int> selected_;
  int top_row_ = 0;
};

}  // namespace marovine
