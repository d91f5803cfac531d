#include "marovine/document/link_row_model.h"

#include <algorithm>

namespace marovine {

void LinkRowModel::OnHint(ViewHint& hint) {
  switch (hint.code) {
    case HINT_APPEND_ROW:
      rows_.push_back({hint.text1, "", "", -1});
      hint.value_a = static_cast<int>(rows_.size()) - 1;
      break;
    case HINT_DELETE_ROW:
      if (Valid(hint.value_a)) {
        rows_.erase(rows_.begin() + hint.value_a);
        // Selections follow their rows as a list control's do.
        std::set<int> moved;
        for (int row : selected_) {
          if (row < hint.value_a) moved.insert(row);
          if (row > hint.value_a) moved.insert(row - 1);
        }
        selected_ = std::move(moved);
      }
      break;
    case HINT_SET_IMAGE:
      if (Valid(hint.row_b)) rows_[hint.row_b].image = hint.value_a + 3 * hint.image_group;
      break;
    case HINT_SELECTED_ROWS: {
      int limit = std::min(hint.value_a, kMaxHintSelection);
      int count = 0;
      for (int row : selected_) {
        if (count >= limit) break;
        hint.selection[count++] = row;
      }
      hint.value_a = count;
      break;
    }
    case HINT_SET_URL:
      if (Valid(hint.row_b)) rows_[hint.row_b].url = hint.text1;
      break;
    case HINT_MOVE_ROW:
      if (hint.value_a < static_cast<int>(rows_.size()) && hint.value_a >= 0 && Valid(hint.row_b)) {
        rows_.erase(rows_.begin() + hint.row_b);
        rows_.insert(rows_.begin() + hint.value_a, Row{hint.text1, "", "", 1});
      }
      break;
    case HINT_SET_COUNT:
      if (Valid(hint.row_b)) rows_[hint.row_b].count = std::to_string(hint.value_a);
      break;
    case HINT_SET_TITLE:
      if (Valid(hint.row_b)) rows_[hint.row_b].title = hint.text1;
      break;
    case HINT_BRING_INTO_VIEW:
      if (Valid(hint.value_a)) top_row_ = hint.value_a;
      break;
    default:
      break;
  }
}

}  // namespace marovine
