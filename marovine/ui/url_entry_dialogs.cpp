#include "marovine/ui/url_entry_dialogs.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "marovine/ui/property_text.h"

namespace marovine {

namespace {

// The control ids the dialogs have always had, so that the tests (and
// anything scripting the window) find the fields by them.
enum : int {
  kIdOk = 1006,
  kIdCancel = 1007,
  kIdUrl = 1004,
};

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

}  // namespace

CrawlUrlDialog::CrawlUrlDialog(wxWindow* parent, const std::string& initial)
    : wxDialog(parent, wxID_ANY, ToWx("まろびねダウンロード用URLの挿入")) {
  auto* label = new wxStaticText(this, wxID_ANY, "URL");
  url_ = new wxTextCtrl(this, kIdUrl, ToWx(initial), wxDefaultPosition, wxSize(420, -1));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 10);
  column->Add(url_, 0, wxEXPAND | wxALL, 10);
  column->Add(OkCancelRow(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(column);
  url_->SetFocus();
  url_->SetInsertionPointEnd();
}

std::string CrawlUrlDialog::Url() const { return FromWx(url_->GetValue()); }

std::optional<std::string> AskCrawlUrl(wxWindow* parent, const std::string& initial) {
  CrawlUrlDialog dialog(parent, initial);
  if (dialog.ShowModal() != kIdOk) return std::nullopt;
  return dialog.Url();
}

}  // namespace marovine
