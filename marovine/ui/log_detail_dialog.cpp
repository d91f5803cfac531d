#include "marovine/ui/log_detail_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "marovine/ui/property_text.h"

namespace marovine {

bool EditLogDetail(wxWindow* parent, std::vector<LogDetailOption>& options) {
  wxDialog dialog(parent, wxID_ANY, wxString::FromUTF8("ログ詳細"));
  auto* column = new wxBoxSizer(wxVERTICAL);
  std::vector<wxCheckBox*> boxes;
  for (const LogDetailOption& option : options) {
    auto* box = new wxCheckBox(&dialog, wxID_ANY, ToWx(option.caption));
    box->SetValue(option.on);
    column->Add(box, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    boxes.push_back(box);
  }
  auto* note = new wxStaticText(&dialog, wxID_ANY,
                                wxString::FromUTF8("更新日時を知るのに一度接続する必要があるため、"
                                                   "ログ確認に時間がかかることがあります。"));
  column->Add(note, 0, wxALL, 8);
  auto* buttons = new wxStdDialogButtonSizer;
  auto* ok = new wxButton(&dialog, wxID_OK, "OK");
  ok->SetDefault();
  buttons->AddButton(ok);
  buttons->AddButton(new wxButton(&dialog, wxID_CANCEL, wxString::FromUTF8("キャンセル")));
  buttons->Realize();
  column->Add(buttons, 0, wxALL | wxEXPAND, 8);
  dialog.SetSizerAndFit(column);
  dialog.Centre();
  if (!boxes.empty()) boxes.front()->SetFocus();
  if (dialog.ShowModal() != wxID_OK) return false;
  for (std::size_t i = 0; i < options.size(); ++i) options[i].on = boxes[i]->GetValue();
  return true;
}

}  // namespace marovine
