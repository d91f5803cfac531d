#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "tarq/drop_tool_actions.h"

class wxCheckBox;
class wxListBox;
class wxTextCtrl;

namespace marovine::tarq {

// The tool's only window. It keeps no logic of its own: each handler copies
// the controls into the state, calls the action and shows what it reports.
class DropToolDialog : public wxDialog {
 public:
  explicit DropToolDialog(const std::string& banner_path);

  // Called by the window's file drop target.
  void OnFilesDropped(const std::vector<std::string>& paths);

 private:
  void OnTopmostClicked(wxCommandEvent& event);
  void OnLeftEdgeClicked(wxCommandEvent& event);
  void OnNeverDownloadClicked(wxCommandEvent& event);
  void OnBrowseFolderClicked(wxCommandEvent& event);

  void ApplyTopmost();
  void TakeControls();
  void ShowReport(const ActionReport& report);

  DropToolState state_;
  wxCheckBox* topmost_ = nullptr;
  wxCheckBox* delete_after_drop_ = nullptr;
  wxCheckBox* also_delete_ = nullptr;
  wxTextCtrl* status_ = nullptr;
  wxListBox* titles_ = nullptr;
};

}  // namespace marovine::tarq
