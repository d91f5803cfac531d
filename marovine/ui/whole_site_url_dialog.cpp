#include "marovine/ui/whole_site_url_dialog.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "marovine/document/settings_pages_items.h"
#include "marovine/document/site_history_file.h"
#include "marovine/engine/work_items.h"
#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"
#include "platform/path.h"

namespace marovine {

WholeSiteUrlDialog::WholeSiteUrlDialog(wxWindow* parent, const std::string& root_folder)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("丸ごとダウンロード用URL入力ダイアログ"),
               wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  url_ = AddCaptionedEdit(this, column, "URL：");
  url_->ChangeValue("http://");
  url_->SetMinSize(wxSize(FromDIP(420), -1));
  heading_ = AddCaptionedEdit(this, column, "見出し（わかりやすい名前をつけて下さい。）");
  wxBoxSizer* row = AddCaptionedRow(this, column, "ルートフォルダ：");
  root_ = new wxTextCtrl(this, wxID_ANY, ToWx(root_folder));
  row->Add(root_, 1, wxALIGN_CENTER_VERTICAL);
  AddSmallButton(this, row, "参照")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (auto folder = ChooseFolder(this, FromWx(root_->GetValue()))) {
      root_->ChangeValue(ToWx(*folder));
    }
  });
  auto* import_row = new wxBoxSizer(wxHORIZONTAL);
  AddSmallButton(this, import_row, "履歴ファイルからインポート")
      ->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnImport(); });
  column->Add(import_row, 0, wxTOP, FromDIP(6));
  AddOkCancel(this, column);
  FitEditHeights(this);
  SetSizerAndFit(column);
  url_->SetFocus();
  url_->SetInsertionPointEnd();
  Centre();
}

WholeSiteUrlEntry WholeSiteUrlDialog::entry() const {
  return {FromWx(url_->GetValue()), FromWx(heading_->GetValue()),
          platform::WithTrailingSeparator(FromWx(root_->GetValue()))};
}

void WholeSiteUrlDialog::Tell(const std::string& text) {
  if (sink_) {
    sink_(text);
  } else {
    wxMessageBox(ToWx(text), "marovine", wxOK | wxICON_INFORMATION, this);
  }
}

bool WholeSiteUrlDialog::TransferDataFromWindow() {
  for (wxTextCtrl* edit : {url_, heading_, root_}) {
    if (edit->GetValue().empty()) {
      Tell(kFillEveryFieldMessage);
      edit->SetFocus();
      return false;
    }
  }
  return true;
}

bool WholeSiteUrlDialog::ImportHistory(const std::string& path) {
  auto base = ReadSiteHistoryBase(path);
  if (!base || base->base_url.empty()) {
    Tell(kNotAHistoryFile);
    return false;
  }
  url_->ChangeValue(ToWx(base->base_url));
  root_->ChangeValue(ToWx(RootFolderOfHistory(path)));
  heading_->ChangeValue(ToWx(base->heading));
  return true;
}

void WholeSiteUrlDialog::OnImport() {
  std::string root = platform::WithTrailingSeparator(FromWx(root_->GetValue()));
  wxFileDialog chooser(this, wxString::FromUTF8("履歴ファイルからインポート"), ToWx(root),
                       wxString::FromUTF8(kSiteHistoryFileName),
                       wxString::FromUTF8("見出しファイル(*.txt)|*.txt"),
                       wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (chooser.ShowModal() == wxID_OK) ImportHistory(FromWx(chooser.GetPath()));
}

WholeSiteUrlDialog::WholeSiteUrlDialog(wxWindow* parent, const WholeSiteUrlEntry& initial)
    : WholeSiteUrlDialog(parent, initial.root_folder) {
  url_->ChangeValue(ToWx(initial.url));
  url_->SetInsertionPointEnd();
  heading_->ChangeValue(ToWx(initial.heading));
}

bool AskWholeSiteUrl(wxWindow* parent, WholeSiteUrlEntry& entry) {
  WholeSiteUrlDialog dialog(parent, entry);
  if (dialog.ShowModal() != wxID_OK) return false;
  entry = dialog.entry();
  return true;
}

bool AskWholeSiteUrl(wxWindow* parent, const std::string& root_folder, WholeSiteUrlEntry& entry) {
  WholeSiteUrlDialog dialog(parent, root_folder);
  if (dialog.ShowModal() != wxID_OK) return false;
  entry = dialog.entry();
  return true;
}

}  // namespace marovine
