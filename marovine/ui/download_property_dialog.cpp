#include "marovine/ui/download_property_dialog.h"

#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"

namespace marovine {

DownloadPropertyDialog::DownloadPropertyDialog(wxWindow* parent, const DownloadItem& item)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("ダウンロードの個別プロパティー"),
               wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      item_(item) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  auto edit_with_browser = [&](const char* caption, const std::string& value) {
    wxBoxSizer* row = AddCaptionedRow(this, column, caption);
    auto* edit = new wxTextCtrl(this, wxID_ANY, ToWx(value));
    row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
    AddSmallButton(this, row, "ブラウザで開く")->Bind(wxEVT_BUTTON, [edit](wxCommandEvent&) {
      OpenWithDesktop(FromWx(edit->GetValue()));
    });
    return edit;
  };
  url_ = edit_with_browser("URL：", item_.url);
  url_->SetMinSize(wxSize(FromDIP(420), -1));
  site_url_ = edit_with_browser("派生したURL：", item_.site_url);
  path_ = AddCaptionedEdit(this, column, "保存ファイル名：");
  path_->ChangeValue(ToWx(item_.local_path));
  referer_ = AddCaptionedEdit(this, column, "Refer：");
  referer_->ChangeValue(ToWx(item_.referer));
  AddCaptionedEdit(this, column, "状態：", wxTE_READONLY)
      ->ChangeValue(ToWx(DownloadStateText(item_.state)));
  AddOkCancel(this, column);
  FitEditHeights(this);
  SetSizerAndFit(column);
  url_->SetFocus();
  Centre();
}

bool DownloadPropertyDialog::TransferDataFromWindow() {
  std::string url = FromWx(url_->GetValue());
  if (url.empty()) {
    RefuseEdit(this, url_, "URLを入力してください。");
    return false;
  }
  item_.url = url;
  item_.site_url = FromWx(site_url_->GetValue());
  item_.local_path = FromWx(path_->GetValue());
  item_.referer = FromWx(referer_->GetValue());
  return true;
}

bool EditDownloadItemProperties(wxWindow* parent, DownloadItem& item) {
  DownloadPropertyDialog dialog(parent, item);
  if (dialog.ShowModal() != wxID_OK) return false;
  item = dialog.item();
  return true;
}

}  // namespace marovine
