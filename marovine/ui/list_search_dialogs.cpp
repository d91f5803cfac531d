#include "marovine/ui/list_search_dialogs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "marovine/ui/property_text.h"

namespace marovine {

namespace {

// The control ids both dialogs have always had.
enum : int {
  kIdLinks = 1001,
  kIdLinkUrl = 1002,
  kIdLinkTitle = 1003,
  kIdText = 1004,
  kIdReplacement = 1005,
  kIdOk = 1006,
  kIdCancel = 1007,
  kIdDownloads = 1010,
  kIdDownloadUrl = 1011,
  kIdDownloadPath = 1028,
  kIdLinkRandom = 1029,
  kIdSearchLinkFolder = 1005,
  kIdReplaceLinkFolder = 1003,
};

wxCheckBox* Check(wxWindow* parent, int id, const char* caption, bool value) {
  auto* box = new wxCheckBox(parent, id, ToWx(caption));
  box->SetValue(value);
  return box;
}

wxSizer* OkCancelRow(wxDialog* dialog) {
  auto* ok = new wxButton(dialog, kIdOk, "OK");
  auto* cancel = new wxButton(dialog, kIdCancel, ToWx("キャンセル"));
  ok->SetDefault();
  dialog->SetAffirmativeId(kIdOk);
  dialog->SetEscapeId(kIdCancel);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(ok, 0, wxRIGHT, 8);
  row->Add(cancel, 0);
  return row;
}

// A list's box: its own check box on top, its fields indented below.
wxSizer* ListGroup(wxCheckBox* list, std::initializer_list<wxCheckBox*> fields) {
  auto* group = new wxBoxSizer(wxVERTICAL);
  group->Add(list, 0, wxBOTTOM, 4);
  for (wxCheckBox* field : fields) {
    group->Add(field, 0, wxLEFT, 18);
    group->AddSpacer(4);
  }
  return group;
}

}  // namespace

SearchDialog::SearchDialog(wxWindow* parent, const SearchSettings& initial)
    : wxDialog(parent, wxID_ANY, ToWx("検索")) {
  text_ = new wxTextCtrl(this, kIdText, ToWx(initial.text), wxDefaultPosition, wxSize(360, -1));
  links_ = Check(this, kIdLinks, "リンクリスト", initial.links);
  link_url_ = Check(this, kIdLinkUrl, "URL", initial.link_url);
  link_title_ = Check(this, kIdLinkTitle, "タイトル", initial.link_title);
  link_folder_ = Check(this, kIdSearchLinkFolder, "保存パス名", initial.link_folder);
  link_random_ = Check(this, kIdLinkRandom, "乱数", initial.link_random);
  downloads_ = Check(this, kIdDownloads, "ダウンリスト", initial.downloads);
  download_url_ = Check(this, kIdDownloadUrl, "URL", initial.download_url);
  download_path_ = Check(this, kIdDownloadPath, "保存パス名", initial.download_path);

  auto* lists = new wxBoxSizer(wxHORIZONTAL);
  lists->Add(ListGroup(links_, {link_url_, link_title_, link_folder_, link_random_}), 1, wxRIGHT,
             16);
  lists->Add(ListGroup(downloads_, {download_url_, download_path_}), 1);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("検索する文字列")), 0, wxLEFT | wxRIGHT | wxTOP,
              10);
  column->Add(text_, 0, wxEXPAND | wxALL, 10);
  column->Add(lists, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("※順次検索はF3で行えます。")), 0, wxALL, 10);
  column->Add(OkCancelRow(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(column);

  links_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabled(); });
  downloads_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabled(); });
  UpdateEnabled();
  text_->SetFocus();
  text_->SelectAll();
}

void SearchDialog::UpdateEnabled() {
  for (wxCheckBox* field : {link_url_, link_title_, link_folder_, link_random_}) {
    field->Enable(links_->GetValue());
  }
  for (wxCheckBox* field : {download_url_, download_path_}) field->Enable(downloads_->GetValue());
}

SearchSettings SearchDialog::Settings() const {
  SearchSettings settings;
  settings.text = FromWx(text_->GetValue());
  settings.links = links_->GetValue();
  settings.link_url = link_url_->GetValue();
  settings.link_title = link_title_->GetValue();
  settings.link_folder = link_folder_->GetValue();
  settings.link_random = link_random_->GetValue();
  settings.downloads = downloads_->GetValue();
  settings.download_url = download_url_->GetValue();
  settings.download_path = download_path_->GetValue();
  return settings;
}

ReplaceDialog::ReplaceDialog(wxWindow* parent, const ReplaceRequest& initial)
    : wxDialog(parent, wxID_ANY, ToWx("文字列置換")) {
  from_ = new wxTextCtrl(this, kIdText, ToWx(initial.from), wxDefaultPosition, wxSize(360, -1));
  to_ = new wxTextCtrl(this, kIdReplacement, ToWx(initial.to));
  links_ = Check(this, kIdLinks, "リンクリスト", initial.links);
  link_url_ = Check(this, kIdLinkUrl, "URL", initial.link_url);
  link_folder_ = Check(this, kIdReplaceLinkFolder, "格納フォルダ", initial.link_folder);
  downloads_ = Check(this, kIdDownloads, "ダウンリスト", initial.downloads);
  download_url_ = Check(this, kIdDownloadUrl, "URL", initial.download_url);
  download_path_ = Check(this, kIdDownloadPath, "ファイルパス名", initial.download_path);

  auto* lists = new wxBoxSizer(wxHORIZONTAL);
  lists->Add(ListGroup(links_, {link_url_, link_folder_}), 1, wxRIGHT, 16);
  lists->Add(ListGroup(downloads_, {download_url_, download_path_}), 1);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("変換前の文字列")), 0, wxLEFT | wxRIGHT | wxTOP,
              10);
  column->Add(from_, 0, wxEXPAND | wxALL, 10);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("変換後の文字列")), 0, wxLEFT | wxRIGHT, 10);
  column->Add(to_, 0, wxEXPAND | wxALL, 10);
  column->Add(lists, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  column->Add(OkCancelRow(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(column);

  links_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabled(); });
  downloads_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabled(); });
  UpdateEnabled();
  from_->SetFocus();
}

void ReplaceDialog::UpdateEnabled() {
  for (wxCheckBox* field : {link_url_, link_folder_}) field->Enable(links_->GetValue());
  for (wxCheckBox* field : {download_url_, download_path_}) field->Enable(downloads_->GetValue());
}

ReplaceRequest ReplaceDialog::Request() const {
  ReplaceRequest request;
  request.from = FromWx(from_->GetValue());
  request.to = FromWx(to_->GetValue());
  request.links = links_->GetValue();
  request.link_url = link_url_->GetValue();
  request.link_folder = link_folder_->GetValue();
  request.downloads = downloads_->GetValue();
  request.download_url = download_url_->GetValue();
  request.download_path = download_path_->GetValue();
  return request;
}

bool AskSearchSettings(wxWindow* parent, SearchSettings& settings) {
  SearchDialog dialog(parent, settings);
  if (dialog.ShowModal() != kIdOk) return false;
  settings = dialog.Settings();
  return true;
}

bool AskReplaceRequest(wxWindow* parent, ReplaceRequest& request) {
  ReplaceDialog dialog(parent, request);
  if (dialog.ShowModal() != kIdOk) return false;
  request = dialog.Request();
  return true;
}

}  // namespace marovine
