#pragma once

#include <wx/listctrl.h>

#include <functional>

#include "marovine/document/link_row_model.h"
#include "platform/profile.h"

namespace marovine::ui {

// The link list (left column): a virtual report list over the rows the
// document's hints make, so a long list costs nothing to show. The selection
// is the control's own; the hints that ask for it or scroll answer from the
// control.
class CLinkList : public wxListCtrl, public LinkListView {
 public:
  CLinkList(wxWindow* parent, platform::Profile& profile);

  void OnHint(ViewHint& hint) override;

  const LinkRowModel& model() const { return model_; }
  std::vector<int> SelectedRows(int maximum) const;
  // Kept in "Size" of marovine.ini when the window closes.
  void SaveColumnWidths();

  std::function<void()> on_double_click;
  // Every left click, before the control handles it.
  std::function<void()> on_click;
  std::function<void(wxPoint screen_position)> on_context_menu;

 protected:
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

 private:
  void MoveRow(ViewHint& hint);
  void BringIntoView(int row);

  platform::Profile& profile_;
  LinkRowModel model_;
};

}  // namespace marovine::ui
