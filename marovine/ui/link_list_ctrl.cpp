#include "marovine/ui/link_list_ctrl.h"

#include <algorithm>
#include <set>

#include "marovine/ui/list_columns.h"
#include "marovine/ui/ui_artwork.h"

namespace marovine::ui {

CLinkList::CLinkList(wxWindow* parent, platform::Profile& profile)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_THEME),
      profile_(profile) {
  const auto& columns = LinkListColumns();
  std::vector<int> widths = ReadColumnWidths(profile_, columns);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    AppendColumn(wxString::FromUTF8(columns[i].title), wxLIST_FORMAT_LEFT, widths[i]);
  }
  AssignImageList(CreateLinkStateImages(), wxIMAGE_LIST_SMALL);
  Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
    if (on_double_click) on_double_click();
  });
  Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
    if (on_click) on_click();
    event.Skip();
  });
  Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
    wxPoint at = event.GetPosition();
    if (at == wxDefaultPosition) at = ClientToScreen(wxPoint(0, 0));
    if (on_context_menu) on_context_menu(at);
  });
}

void CLinkList::SaveColumnWidths() {
  std::vector<int> widths;
  for (int i = 0; i < GetColumnCount(); ++i) widths.push_back(GetColumnWidth(i));
  (void)ui::SaveColumnWidths(profile_, LinkListColumns(), widths);
}

std::vector<int> CLinkList::SelectedRows(int maximum) const {
  std::vector<int> rows;
  long item = -1;
  while (static_cast<int>(rows.size()) < maximum &&
         (item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1) {
    rows.push_back(static_cast<int>(item));
  }
  return rows;
}

void CLinkList::OnHint(ViewHint& hint) {
  const int count = static_cast<int>(model_.rows().size());
  switch (hint.code) {
    case HINT_APPEND_ROW:
      model_.OnHint(hint);
      SetItemCount(static_cast<long>(model_.rows().size()));
      break;
    case HINT_DELETE_ROW:
      if (hint.value_a >= 0 && hint.value_a < count) {
        model_.OnHint(hint);
        // The control's own delete moves the selection up with the rows.
        DeleteItem(hint.value_a);
      }
      break;
    case HINT_SELECTED_ROWS: {
      std::vector<int> rows = SelectedRows(std::min(hint.value_a, kMaxHintSelection));
      std::copy(rows.begin(), rows.end(), hint.selection.begin());
      hint.value_a = static_cast<int>(rows.size());
      break;
    }
    case HINT_MOVE_ROW:
      MoveRow(hint);
      break;
    case HINT_BRING_INTO_VIEW:
      model_.OnHint(hint);
      if (hint.value_a >= 0 && hint.value_a < count) BringIntoView(hint.value_a);
      break;
    default:
      model_.OnHint(hint);
      if (hint.row_b >= 0 && hint.row_b < count) RefreshItem(hint.row_b);
      break;
  }
}

void CLinkList::MoveRow(ViewHint& hint) {
  const int count = static_cast<int>(model_.rows().size());
  const int from = hint.row_b;
  const int to = hint.value_a;
  if (to < 0 || to >= count || from < 0 || from >= count) return;
  // The moved row leaves the selection; the rows between shift as they would
  // with a delete and an insert.
  std::vector<int> selected = SelectedRows(count);
  model_.OnHint(hint);
  std::set<int> moved;
  for (int row : selected) {
    if (row == from) continue;
    int after_delete = row > from ? row - 1 : row;
    moved.insert(after_delete >= to ? after_delete + 1 : after_delete);
  }
  for (int row : selected) SetItemState(row, 0, wxLIST_STATE_SELECTED);
  for (int row : moved) SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  RefreshItems(std::min(from, to), std::max(from, to));
}

void CLinkList::BringIntoView(int row) {
  EnsureVisible(row);
  wxRect rect;
  int line_height = GetItemRect(row, rect) ? rect.height : 17;
  ScrollList(0, (row - static_cast<int>(GetTopItem())) * line_height);
}

wxString CLinkList::OnGetItemText(long item, long column) const {
  if (item < 0 || item >= static_cast<long>(model_.rows().size())) return {};
  const auto& row = model_.rows()[item];
  switch (column) {
    case 0:
      return wxString::FromUTF8(row.url);
    case 1:
      return wxString::FromUTF8(row.title);
    case 2:
      return wxString::FromUTF8(row.count);
    default:
      return {};
  }
}

int CLinkList::OnGetItemImage(long item) const {
  if (item < 0 || item >= static_cast<long>(model_.rows().size())) return -1;
  return model_.rows()[item].image;
}

}  // namespace marovine::ui
