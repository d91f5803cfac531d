#include "marovine/ui/property_layout.h"

#include <wx/msgdlg.h>

#include "marovine/ui/property_text.h"

namespace marovine {

wxBoxSizer* AddCaptionedRow(wxWindow* parent, wxSizer* column, const std::string& caption) {
  const int gap = parent->FromDIP(6);
  column->Add(new wxStaticText(parent, wxID_ANY, ToWx(caption)), 0, wxLEFT | wxRIGHT | wxTOP, gap);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
  return row;
}

wxTextCtrl* AddCaptionedEdit(wxWindow* parent, wxSizer* column, const std::string& caption,
                             long style) {
  wxBoxSizer* row = AddCaptionedRow(parent, column, caption);
  auto* edit = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, style);
  row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
  return edit;
}

wxButton* AddSmallButton(wxWindow* parent, wxSizer* row, const std::string& label) {
  auto* button =
      new wxButton(parent, wxID_ANY, ToWx(label), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
  row->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, parent->FromDIP(6));
  return button;
}

wxButton* AddOkCancel(wxWindow* parent, wxSizer* column) {
  auto* buttons = new wxStdDialogButtonSizer;
  auto* ok = new wxButton(parent, wxID_OK, "OK");
  ok->SetDefault();
  buttons->AddButton(ok);
  buttons->AddButton(new wxButton(parent, wxID_CANCEL, wxString::FromUTF8("キャンセル")));
  buttons->Realize();
  column->Add(buttons, 0, wxEXPAND | wxALL, parent->FromDIP(8));
  return ok;
}

void FitEditHeights(wxWindow* top) {
  for (wxWindow* child : top->GetChildren()) {
    auto* edit = dynamic_cast<wxTextCtrl*>(child);
    if (edit && !edit->IsMultiLine()) {
      int need = edit->GetTextExtent(wxString::FromUTF8("Agy漢")).y + edit->FromDIP(8);
      if (edit->GetBestSize().y < need) edit->SetMinSize({edit->GetMinSize().x, need});
    }
    FitEditHeights(child);
  }
}

void RefuseEdit(wxWindow* parent, wxTextCtrl* edit, const std::string& message) {
  wxMessageBox(ToWx(message), "marovine", wxOK | wxICON_EXCLAMATION, parent);
  edit->SetFocus();
  edit->SelectAll();
}

}  // namespace marovine
