#include "marovine/ui/quick_view_settings_dialog.h"

#include <wx/msgdlg.h>
#include <wx/sizer.h>

#include <string>
#include <utility>
#include <vector>

#include "marovine/ui/quick_view_pane.h"
#include "platform/profile.h"

namespace marovine::ui {
namespace {

constexpr char kSection[] = "QuickView";

struct Switch {
  const char* key;
  const char* text;
};

constexpr Switch kSwitches[] = {
    {"CreateViewWindow", "QuickViewerを起動（次回起動時から有効）"},
    {"ViewAfterDownLoad", "ダウンロードが終了するごとに､画像を表示"},
    {"ViewAfterSelected", "選択されるごとに、画像を表示"},
    {"ViewSize", "ファイル名、サイズを表示"},
};

}  // namespace

QuickViewSettingsDialog::QuickViewSettingsDialog(wxWindow* parent, std::string settings_file)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("QuickViewerの設定")),
      settings_file_(std::move(settings_file)) {
  const platform::Profile profile(settings_file_);
  auto* column = new wxBoxSizer(wxVERTICAL);
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i] = new wxCheckBox(this, wxID_ANY, wxString::FromUTF8(kSwitches[i].text));
    boxes_[i]->SetValue(profile.GetInt(kSection, kSwitches[i].key, 0) != 0);
    // The lower three sit indented under the first, as its options.
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (i > 0) row->AddSpacer(20);
    row->Add(boxes_[i]);
    column->Add(row, wxSizerFlags().Border(wxTOP, 6));
  }
  boxes_[0]->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabled(); });
  column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL),
              wxSizerFlags().Expand().Border(wxTOP, 12));
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(column, wxSizerFlags(1).Expand().Border(wxALL, 12));
  SetSizerAndFit(outer);
  UpdateEnabled();
}

void QuickViewSettingsDialog::Click(std::size_t index, bool checked) {
  boxes_.at(index)->SetValue(checked);
  if (index == 0) UpdateEnabled();
}

void QuickViewSettingsDialog::UpdateEnabled() {
  const bool pane = boxes_[0]->GetValue();
  for (std::size_t i = 1; i < boxes_.size(); ++i) boxes_[i]->Enable(pane);
}

bool QuickViewSettingsDialog::WriteSettings() const {
  std::vector<std::pair<std::string, std::string>> values;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    values.emplace_back(kSwitches[i].key, std::to_string(boxes_[i]->GetValue() ? 1 : 0));
  }
  platform::Profile profile(settings_file_);
  return profile.WriteStrings(kSection, values);
}

bool ShowQuickViewSettingsDialog(wxWindow* parent, const std::string& settings_file) {
  QuickViewSettingsDialog dialog(parent, settings_file);
  if (dialog.ShowModal() != wxID_OK) return false;
  if (dialog.WriteSettings()) return true;
  wxMessageBox(
      wxString::FromUTF8("設定を保存できませんでした。\n") + wxString::FromUTF8(settings_file),
      wxString::FromUTF8("QuickViewerの設定"), wxOK | wxICON_ERROR, parent);
  return false;
}

}  // namespace marovine::ui
