#pragma once

#include <wx/dialog.h>

#include "marovine/engine/work_items.h"
#include "platform/profile.h"

class wxButton;
class wxTextCtrl;

namespace marovine {

// "個別プロパティー": the settings of one link item. OK checks the number
// edits and writes URL, folder, random number, extension group,
// authentication, search level, page limit and reset interval back into the
// item (the registration mode stays, the title is only shown).
class LinkPropertyDialog : public wxDialog {
 public:
  LinkPropertyDialog(wxWindow* parent, const platform::Profile& profile, const LinkItem& item);

  const LinkItem& item() const { return item_; }

  wxTextCtrl* url_edit() const { return url_; }
  wxTextCtrl* folder_edit() const { return folder_; }
  wxTextCtrl* random_edit() const { return random_; }
  wxTextCtrl* group_text() const { return group_; }
  wxTextCtrl* level_text() const { return level_; }
  wxTextCtrl* page_limit_edit() const { return page_limit_; }
  wxButton* group_step(int delta) const { return delta < 0 ? group_back_ : group_next_; }
  wxButton* level_step(int delta) const { return delta < 0 ? level_back_ : level_next_; }

  bool TransferDataFromWindow() override;

 private:
  void StepGroup(int delta);
  void StepLevel(int delta);
  void ShowGroupAndLevel();
  bool TakeNumber(wxTextCtrl* edit, int max, std::int32_t& field);

  const platform::Profile& profile_;
  LinkItem item_;
  wxTextCtrl* url_ = nullptr;
  wxTextCtrl* folder_ = nullptr;
  wxTextCtrl* random_ = nullptr;
  wxTextCtrl* group_ = nullptr;
  wxTextCtrl* credentials_ = nullptr;
  wxTextCtrl* level_ = nullptr;
  wxTextCtrl* page_limit_ = nullptr;
  wxTextCtrl* reset_days_ = nullptr;
  wxButton* group_back_ = nullptr;
  wxButton* group_next_ = nullptr;
  wxButton* level_back_ = nullptr;
  wxButton* level_next_ = nullptr;
};

// Shows the dialog; true when OK wrote the edits into `item`. The caller then
// updates the item's row (its URL text and state image).
bool EditLinkItemProperties(wxWindow* parent, const platform::Profile& profile, LinkItem& item);

}  // namespace marovine
