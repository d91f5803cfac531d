#pragma once

#include <wx/checkbox.h>
#include <wx/dialog.h>

#include <array>
#include <string>

namespace marovine::ui {

// "QuickViewerの設定": the four switches of the picture pane. The lower three
// matter only when the pane exists, so they are enabled only while the first
// is checked.
class QuickViewSettingsDialog : public wxDialog {
 public:
  QuickViewSettingsDialog(wxWindow* parent, std::string settings_file);

  // The boxes in the order of their keys (CreateViewWindow, ViewAfterDownLoad,
  // ViewAfterSelected, ViewSize).
  wxCheckBox* box(std::size_t index) const { return boxes_.at(index); }
  // Sets a box as a click does, enabling or disabling the lower three.
  void Click(std::size_t index, bool checked);

  // Writes the four keys with one rewrite of the settings file; false when
  // it could not be written (the file then stays as it was).
  bool WriteSettings() const;

 private:
  void UpdateEnabled();

  std::string settings_file_;
  std::array<wxCheckBox*, 4> boxes_{};
};

}  // namespace marovine::ui
