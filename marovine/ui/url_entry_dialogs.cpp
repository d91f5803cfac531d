#include "marovine/ui/url_entry_dialogs.h"

#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/path.h"

namespace marovine {

namespace {

wxString Text(const std::string& utf8) { return wxString::FromUTF8(utf8.c_str()); }
std::string Utf8(const wxString& text) { return std::string(text.utf8_str()); }

// The control ids the dialogs have always had, so that the tests (and
// anything scripting the window) find the fields by them.
enum : int {
  kIdOk = 1006,
  kIdCancel = 1007,
  kIdUrl = 1004,
  kIdHeading = 1008,
  kIdRootFolder = 1009,
  kIdBrowse = 1023,
};

wxSizer* OkCancelRow(wxDialog* dialog) {
  auto* ok = new wxButton(dialog, kIdOk, "OK");
  auto* cancel = new wxButton(dialog, kIdCancel, Text("キャンセル"));
  ok->SetDefault();
  dialog->SetAffirmativeId(kIdOk);
  dialog->SetEscapeId(kIdCancel);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(ok, 0, wxRIGHT, 8);
  row->Add(cancel, 0);
  return row;
}

}  // namespace

CrawlUrlDialog::CrawlUrlDialog(wxWindow* parent, const std::string& initial)
    : wxDialog(parent, wxID_ANY, Text("まろびねダウンロード用URLの挿入")) {
  auto* label = new wxStaticText(this, wxID_ANY, "URL");
  url_ = new wxTextCtrl(this, kIdUrl, Text(initial), wxDefaultPosition, wxSize(420, -1));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 10);
  column->Add(url_, 0, wxEXPAND | wxALL, 10);
  column->Add(OkCancelRow(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(column);
  url_->SetFocus();
  url_->SetInsertionPointEnd();
}

std::string CrawlUrlDialog::Url() const { return Utf8(url_->GetValue()); }

WholeSiteUrlDialog::WholeSiteUrlDialog(wxWindow* parent, const WholeSiteUrlEntry& initial)
    : wxDialog(parent, wxID_ANY, Text("丸ごとダウンロード用URL入力ダイアログ")) {
  url_ = new wxTextCtrl(this, kIdUrl, Text(initial.url), wxDefaultPosition, wxSize(420, -1));
  heading_ = new wxTextCtrl(this, kIdHeading, Text(initial.heading));
  root_folder_ = new wxTextCtrl(this, kIdRootFolder, Text(initial.root_folder));
  auto* browse = new wxButton(this, kIdBrowse, Text("参照"));

  auto* folder_row = new wxBoxSizer(wxHORIZONTAL);
  folder_row->Add(root_folder_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  folder_row->Add(browse, 0, wxALIGN_CENTER_VERTICAL);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, "URL"), 0, wxLEFT | wxRIGHT | wxTOP, 10);
  column->Add(url_, 0, wxEXPAND | wxALL, 10);
  column->Add(new wxStaticText(this, wxID_ANY, Text("見出し（わかりやすい名前をつけて下さい。）")),
              0, wxLEFT | wxRIGHT, 10);
  column->Add(heading_, 0, wxEXPAND | wxALL, 10);
  column->Add(new wxStaticText(this, wxID_ANY, Text("ルートフォルダ：")), 0, wxLEFT | wxRIGHT, 10);
  column->Add(folder_row, 0, wxEXPAND | wxALL, 10);
  column->Add(OkCancelRow(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(column);
  browse->Bind(wxEVT_BUTTON, &WholeSiteUrlDialog::OnBrowse, this);
  url_->SetFocus();
  url_->SetInsertionPointEnd();
}

WholeSiteUrlEntry WholeSiteUrlDialog::Entry() const {
  return {Utf8(url_->GetValue()), Utf8(heading_->GetValue()), Utf8(root_folder_->GetValue())};
}

void WholeSiteUrlDialog::OnBrowse(wxCommandEvent& /*event*/) {
  wxDirDialog chooser(this, Text("フォルダの選択"), root_folder_->GetValue(),
                      wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (chooser.ShowModal() != wxID_OK) return;
  root_folder_->SetValue(Text(platform::WithTrailingSeparator(Utf8(chooser.GetPath()))));
}

std::optional<std::string> AskCrawlUrl(wxWindow* parent, const std::string& initial) {
  CrawlUrlDialog dialog(parent, initial);
  if (dialog.ShowModal() != kIdOk) return std::nullopt;
  return dialog.Url();
}

bool AskWholeSiteUrl(wxWindow* parent, WholeSiteUrlEntry& entry) {
  WholeSiteUrlDialog dialog(parent, entry);
  if (dialog.ShowModal() != kIdOk) return false;
  entry = dialog.Entry();
  return true;
}

}  // namespace marovine
