#include "marovine/ui/sequential_url_dialog.h"

#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>

#include <charconv>

#include "marovine/album/sequential_urls.h"
#include "marovine/document/settings_pages.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"

namespace marovine {
namespace {

wxTextCtrl* NumberEdit(wxWindow* parent, const char* value, const char* widest) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, value);
  edit->SetMinSize(wxSize(edit->GetTextExtent(widest).x + parent->FromDIP(16), -1));
  return edit;
}

void AddLabel(wxWindow* parent, wxSizer* row, const char* text) {
  row->Add(new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(text)), 0,
           wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, parent->FromDIP(4));
}

}  // namespace

SequentialUrlDialog::SequentialUrlDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("連番入力支援"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  const int gap = FromDIP(6);
  auto* column = new wxBoxSizer(wxVERTICAL);

  auto* base_row = new wxBoxSizer(wxHORIZONTAL);
  AddLabel(this, base_row, "URL:");
  base_ = new wxTextCtrl(this, wxID_ANY, "http://");
  base_->SetMinSize(wxSize(FromDIP(360), -1));
  base_row->Add(base_, 1, wxALIGN_CENTER_VERTICAL);
  AddLabel(this, base_row, "(例：http://www.example.com/img/)");
  column->Add(base_row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);

  auto* range_row = new wxBoxSizer(wxHORIZONTAL);
  first_ = NumberEdit(this, "1", "0000000");
  last_ = NumberEdit(this, "10", "0000000");
  extension_ = NumberEdit(this, "jpg", "jpeg");
  digits_ = NumberEdit(this, "3", "00");
  range_row->Add(first_, 0, wxALIGN_CENTER_VERTICAL);
  AddLabel(this, range_row, "～");
  range_row->Add(last_, 0, wxALIGN_CENTER_VERTICAL);
  AddLabel(this, range_row, "．");
  range_row->Add(extension_, 0, wxALIGN_CENTER_VERTICAL);
  AddLabel(this, range_row, "桁：");
  range_row->Add(digits_, 0, wxALIGN_CENTER_VERTICAL);
  auto* generate = AddSmallButton(this, range_row, "生成！");
  generate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnGenerate(); });
  generate->SetDefault();
  generate_ = generate;
  column->Add(range_row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);

  for (const char* help :
       {"例： 3 ～ 5 . jpg 桁：3  なら  003.jpg ～ 005.jpgになる。\n"
        "http://www.example.com/img/ なら http://www.example.com/img/003.jpg ～",
        "高度な使い方\n"
        "URLに * を含めると、* が番号に置き換わります。\n"
        "http://www.example.com/img/test*.jpg なら http://www.example.com/img/test003.jpg ～"}) {
    column->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(help)), 0,
                wxLEFT | wxRIGHT | wxTOP, gap);
  }

  list_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                        wxLB_SINGLE | wxLB_HSCROLL);
  list_->SetMinSize(wxSize(-1, FromDIP(180)));
  column->Add(list_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* remove = AddSmallButton(this, buttons, "削除");
  remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(); });
  remove_ = remove;
  AddSmallButton(this, buttons, "textに出力")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    OnWriteText();
  });
  buttons->AddStretchSpacer();
  auto* add = new wxButton(this, wxID_OK, wxString::FromUTF8("追加"));
  add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    result_ = SequentialUrlResult(lines_);
    EndModal(wxID_OK);
  });
  buttons->Add(add, 0, wxLEFT, gap);
  buttons->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("ｷｬﾝｾﾙ")), 0, wxLEFT, gap);
  column->Add(buttons, 0, wxEXPAND | wxALL, gap);

  FitEditHeights(this);
  SetSizerAndFit(column);
  base_->SetFocus();
  base_->SetInsertionPointEnd();
  Centre();
}

void SequentialUrlDialog::Tell(const std::string& text) {
  if (sink_) {
    sink_(text);
  } else {
    wxMessageBox(ToWx(text), "marovine", wxOK | wxICON_INFORMATION, this);
  }
}

bool SequentialUrlDialog::TakeNumber(wxTextCtrl* edit, long long min, long long max,
                                     long long& number) {
  int value = 0;
  auto error = ParseEditNumber(FromWx(edit->GetValue()), static_cast<int>(min),
                               static_cast<int>(max), true, value);
  if (error) {
    Tell(*error);
    edit->SetFocus();
    edit->SelectAll();
    return false;
  }
  number = value;
  return true;
}

void SequentialUrlDialog::OnGenerate() {
  SequentialUrlRequest request;
  long long digits = 0;
  constexpr long long kLargest = 2147483647;
  if (!TakeNumber(first_, 0, kLargest, request.first) ||
      !TakeNumber(last_, 0, kLargest, request.last) ||
      !TakeNumber(digits_, 0, kMaxSequentialDigits, digits)) {
    return;
  }
  request.digits = static_cast<int>(digits);
  request.base = FromWx(base_->GetValue());
  request.extension = FromWx(extension_->GetValue());
  std::size_t before = lines_.size();
  if (!AppendSequentialUrls(request, &lines_)) {
    Tell("一度に生成できるのは " + std::to_string(kMaxSequentialUrls) + " 行までです。");
    last_->SetFocus();
    return;
  }
  wxArrayString added;
  for (std::size_t i = before; i < lines_.size(); ++i) added.Add(ToWx(lines_[i]));
  list_->Append(added);
}

void SequentialUrlDialog::OnRemove() {
  int selected = list_->GetSelection();
  if (selected == wxNOT_FOUND) {
    Tell("リストから削除したい項目を選択してください。");
    return;
  }
  lines_.erase(lines_.begin() + selected);
  list_->Delete(static_cast<unsigned>(selected));
}

bool SequentialUrlDialog::WriteList(const std::string& path) {
  if (WriteSequentialUrlList(path, lines_)) return true;
  Tell(kCannotOpenListMessage);
  return false;
}

void SequentialUrlDialog::OnWriteText() {
  wxFileDialog chooser(this, wxString::FromUTF8("textに出力"), "", "",
                       wxString::FromUTF8("Textファイル(*.txt)|*.txt"),
                       wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (chooser.ShowModal() == wxID_OK) WriteList(FromWx(chooser.GetPath()));
}

std::string ShowSequentialUrlDialog(wxWindow* parent) {
  SequentialUrlDialog dialog(parent);
  if (dialog.ShowModal() != wxID_OK) return "";
  return dialog.result();
}

}  // namespace marovine
