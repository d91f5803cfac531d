#pragma once

#include <wx/dialog.h>

#include "marovine/document/list_search.h"

class wxCheckBox;
class wxTextCtrl;

namespace marovine {

// "検索": the text and the lists and fields to look in. A list's fields are
// enabled only while the list is chosen.
class SearchDialog : public wxDialog {
 public:
  SearchDialog(wxWindow* parent, const SearchSettings& initial);
  SearchSettings Settings() const;

 private:
  void UpdateEnabled();

  wxTextCtrl* text_;
  wxCheckBox* links_;
  wxCheckBox* link_url_;
  wxCheckBox* link_title_;
  wxCheckBox* link_folder_;
  wxCheckBox* link_random_;
  wxCheckBox* downloads_;
  wxCheckBox* download_url_;
  wxCheckBox* download_path_;
};

// "文字列置換": the text to find, its replacement, and the fields to change.
class ReplaceDialog : public wxDialog {
 public:
  ReplaceDialog(wxWindow* parent, const ReplaceRequest& initial);
  ReplaceRequest Request() const;

 private:
  void UpdateEnabled();

  wxTextCtrl* from_;
  wxTextCtrl* to_;
  wxCheckBox* links_;
  wxCheckBox* link_url_;
  wxCheckBox* link_folder_;
  wxCheckBox* downloads_;
  wxCheckBox* download_url_;
  wxCheckBox* download_path_;
};

// The dialogs run modally; false when cancelled, else the values are the
// entered ones.
bool AskSearchSettings(wxWindow* parent, SearchSettings& settings);
bool AskReplaceRequest(wxWindow* parent, ReplaceRequest& request);

}  // namespace marovine
