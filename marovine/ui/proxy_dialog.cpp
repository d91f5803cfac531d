#include "marovine/ui/proxy_dialog.h"

#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>

#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"
#include "platform/file_io.h"
#include "platform/path.h"

namespace marovine {

using Group = ProxyDialogModel::Group;

ProxyDialog::ProxyDialog(wxWindow* parent, const std::string& program_folder,
                         platform::Profile& profile)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("Proxy設定"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      profile_(profile),
      model_(program_folder) {
  model_.Read(profile_);
  const int gap = FromDIP(6);
  auto* columns = new wxBoxSizer(wxHORIZONTAL);

  auto* left = new wxBoxSizer(wxVERTICAL);
  AddGroup(left, "選択", Group::kSelection);
  default_proxy_ = new wxTextCtrl(this, wxID_ANY, ToWx(model_.settings.default_proxy));
  left->Add(default_proxy_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  left->Add(
      new wxStaticText(this, wxID_ANY, wxString::FromUTF8("↑リスト項目ダブルクリック　で設定")), 0,
      wxLEFT | wxRIGHT | wxTOP, gap);
  AddGroup(left, "接続エラー時", Group::kOnError);
  AddGroup(left, "接続エラーを起こしたプロキシ", Group::kListAction);
  no_cache_ = new wxCheckBox(this, wxID_ANY, wxString::FromUTF8("キャッシュを利用しない。"));
  no_cache_->SetValue(model_.settings.enable_cash != 0);
  left->Add(no_cache_, 0, wxALL, gap);
  columns->Add(left, 0, wxEXPAND);

  auto* right = new wxBoxSizer(wxVERTICAL);
  list_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
  list_->SetMinSize(wxSize(FromDIP(240), FromDIP(200)));
  list_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent& event) { UseEntry(event.GetInt()); });
  right->Add(list_, 1, wxEXPAND | wxALL, gap);
  auto* entry_row = new wxBoxSizer(wxHORIZONTAL);
  entry_ = new wxTextCtrl(this, wxID_ANY);
  entry_row->Add(entry_, 1, wxALIGN_CENTER_VERTICAL);
  auto* add = AddSmallButton(this, entry_row, "追加");
  add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(); });
  add_ = add;
  right->Add(entry_row, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
  auto* list_buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* remove = AddSmallButton(this, list_buttons, "削除");
  remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(); });
  remove_ = remove;
  AddSmallButton(this, list_buttons, "エディタで編集")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    OnEditInEditor();
  });
  right->Add(list_buttons, 0, wxALIGN_RIGHT | wxALL, gap);
  columns->Add(right, 1, wxEXPAND);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(columns, 1, wxEXPAND | wxALL, gap);
  AddOkCancel(this, column)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });
  FitEditHeights(this);
  SetSizerAndFit(column);
  ShowList();
  Centre();
}

void ProxyDialog::AddGroup(wxSizer* column, const char* title, Group group) {
  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, wxString::FromUTF8(title));
  std::vector<wxRadioButton*> buttons;
  auto captions = ProxyChoiceCaptions(group);
  // A file with no button of a group on shows the first, and says so on OK.
  const int chosen = model_.Chosen(group);
  model_.Choose(group, chosen);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    auto* radio = new wxRadioButton(box->GetStaticBox(), wxID_ANY, ToWx(captions[i]),
                                    wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
    radio->SetValue(static_cast<int>(i) == chosen);
    radio->Bind(wxEVT_RADIOBUTTON,
                [this, group, i](wxCommandEvent&) { model_.Choose(group, static_cast<int>(i)); });
    box->Add(radio, 0, wxALL, FromDIP(3));
    buttons.push_back(radio);
  }
  column->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(6));
  groups_.push_back(std::move(buttons));
}

wxRadioButton* ProxyDialog::choice(Group group, int button) const {
  return groups_[static_cast<std::size_t>(group)][static_cast<std::size_t>(button)];
}

void ProxyDialog::ShowList() {
  list_->Clear();
  for (const std::string& entry : model_.entries()) list_->Append(ToWx(entry));
}

void ProxyDialog::UseEntry(int index) {
  model_.UseEntryAsDefault(index);
  default_proxy_->ChangeValue(ToWx(model_.settings.default_proxy));
}

void ProxyDialog::OnAdd() {
  if (model_.Add(FromWx(entry_->GetValue()))) {
    ShowList();
    entry_->Clear();
  }
  entry_->SetFocus();
}

void ProxyDialog::OnRemove() {
  if (auto error = model_.Remove(list_->GetSelection())) {
    wxMessageBox(ToWx(*error), "marovine", wxOK | wxICON_INFORMATION, this);
    return;
  }
  ShowList();
}

void ProxyDialog::OnEditInEditor() {
  const std::string& path = model_.proxy_list_path();
  // The editor gets a file to open even before the first proxy is listed.
  if (!platform::FileExists(path)) (void)platform::WriteFileAtomically(path, "");
  if (!OpenWithDesktop(path)) {
    wxMessageBox(wxString::FromUTF8("開けません"), "marovine", wxOK | wxICON_EXCLAMATION, this);
  }
  EndModal(wxID_CANCEL);
}

void ProxyDialog::OnOk() {
  // The radio buttons keep the model's groups; the edits are taken now.
  model_.settings.default_proxy = FromWx(default_proxy_->GetValue());
  model_.settings.enable_cash = no_cache_->GetValue() ? 1 : 0;
  if (!model_.Write(profile_)) {
    wxMessageBox(wxString::FromUTF8("設定を書き込めません。\n") + ToWx(model_.proxy_list_path()),
                 "marovine", wxOK | wxICON_ERROR, this);
    return;
  }
  written_ = true;
  EndModal(wxID_OK);
}

bool ShowProxyDialog(wxWindow* parent, const std::string& program_folder,
                     platform::Profile& profile) {
  ProxyDialog dialog(parent, program_folder, profile);
  dialog.ShowModal();
  return dialog.written();
}

}  // namespace marovine
