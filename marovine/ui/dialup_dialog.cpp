#include "marovine/ui/dialup_dialog.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>
#include <thread>

#include "marovine/ui/property_text.h"

namespace marovine::ui {

namespace {

// The attempt's progress is looked at five times a second, so that short
// stages show too; the dialog's own timer (redials) counts every fifth look.
constexpr int kPollMs = 200;
constexpr int kPollsPerSecond = 5;

void Sleep(std::chrono::milliseconds period) { std::this_thread::sleep_for(period); }

// Leaves a field the user is typing in alone unless the model changed it.
void ShowValue(wxTextCtrl* field, const std::string& value) {
  wxString text = ToWx(value);
  if (field->GetValue() != text) field->ChangeValue(text);
}

}  // namespace

DialUpDialog::DialUpDialog(wxWindow* parent, DialUpNetwork& network, platform::Profile& profile,
                           DialUpController::Mode mode)
    : wxDialog(parent, wxID_ANY, "Marovine RAS Controler"),
      controller_(network, profile, mode, Sleep),
      timer_(this) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("エントリを選択してください：")), 0,
              wxLEFT | wxRIGHT | wxTOP, 10);
  entries_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(300, 90));
  column->Add(entries_, 0, wxEXPAND | wxALL, 10);

  auto* fields = new wxFlexGridSizer(2, 6, 6);
  fields->AddGrowableCol(1);
  fields->Add(new wxStaticText(this, wxID_ANY, ToWx("ユーザー名")), 0, wxALIGN_CENTER_VERTICAL);
  user_ = new wxTextCtrl(this, wxID_ANY);
  fields->Add(user_, 1, wxEXPAND);
  fields->Add(new wxStaticText(this, wxID_ANY, ToWx("パスワード")), 0, wxALIGN_CENTER_VERTICAL);
  password_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
  fields->Add(password_, 1, wxEXPAND);
  column->Add(fields, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);

  status_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(300, 90));
  column->Add(status_, 0, wxEXPAND | wxALL, 10);

  auto* redial = new wxBoxSizer(wxHORIZONTAL);
  redial->Add(new wxStaticText(this, wxID_ANY, ToWx("リダイヤル")), 0, wxALIGN_CENTER_VERTICAL);
  redial_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(50, -1));
  redial->Add(redial_, 0, wxLEFT | wxRIGHT, 4);
  redial->Add(new wxStaticText(this, wxID_ANY, ToWx("回")), 0, wxALIGN_CENTER_VERTICAL);
  redial->AddSpacer(16);
  redial->Add(new wxStaticText(this, wxID_ANY, ToWx("リダイヤル間隔")), 0, wxALIGN_CENTER_VERTICAL);
  wait_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(50, -1));
  redial->Add(wait_, 0, wxLEFT | wxRIGHT, 4);
  redial->Add(new wxStaticText(this, wxID_ANY, ToWx("秒")), 0, wxALIGN_CENTER_VERTICAL);
  column->Add(redial, 0, wxLEFT | wxRIGHT, 10);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  connect_ = new wxButton(this, wxID_ANY, ToWx("接続"));
  ok_ = new wxButton(this, wxID_OK, "OK");
  buttons->Add(connect_, 0, wxRIGHT, 6);
  buttons->AddStretchSpacer();
  buttons->Add(ok_, 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CANCEL, ToWx("キャンセル")));
  column->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(column);
  CentreOnParent();

  entries_->Bind(wxEVT_LISTBOX, &DialUpDialog::OnEntry, this);
  Bind(wxEVT_BUTTON, &DialUpDialog::OnOk, this, wxID_OK);
  Bind(wxEVT_BUTTON, &DialUpDialog::OnCancel, this, wxID_CANCEL);
  connect_->Bind(wxEVT_BUTTON, &DialUpDialog::OnConnect, this);
  Bind(wxEVT_CLOSE_WINDOW, &DialUpDialog::OnClose, this);
  Bind(wxEVT_TIMER, &DialUpDialog::OnTimer, this);

  controller_.Initialise();
  Refresh();
  timer_.Start(kPollMs);
}

void DialUpDialog::TakeFields() {
  controller_.user = FromWx(user_->GetValue());
  controller_.password = FromWx(password_->GetValue());
  controller_.redial_field = FromWx(redial_->GetValue());
  controller_.wait_field = FromWx(wait_->GetValue());
}

void DialUpDialog::Refresh() {
  const DialUpController& model = controller_;
  wxArrayString names;
  for (const auto& name : model.list_texts()) names.Add(ToWx(name));
  if (entries_->GetStrings() != names) entries_->Set(names);
  if (model.selected() >= 0) {
    entries_->SetSelection(model.selected());
  } else if (entries_->GetSelection() != wxNOT_FOUND) {
    entries_->DeselectAll();
  }
  entries_->Enable(model.list_enabled());
  ShowValue(user_, model.user);
  ShowValue(password_, model.password);
  ShowValue(redial_, model.redial_field);
  ShowValue(wait_, model.wait_field);
  wxArrayString lines;
  for (const auto& line : model.status_lines()) lines.Add(ToWx(line));
  if (status_->GetStrings() != lines) status_->Set(lines);
  ok_->SetLabel(model.ok_text().empty() ? wxString("OK") : ToWx(model.ok_text()));
  connect_->Enable(model.connect_enabled());
  if (std::optional<std::string> message = controller_.TakeMessage()) {
    wxMessageBox(ToWx(*message), "Marovine RAS Controler", wxOK | wxICON_INFORMATION, this);
  }
  if (model.end() != DialUpController::End::kOpen && IsModal()) {
    timer_.Stop();
    EndModal(model.end() == DialUpController::End::kOk ? wxID_OK : wxID_CANCEL);
  }
}

void DialUpDialog::OnEntry(wxCommandEvent& /*event*/) {
  TakeFields();
  controller_.SelectEntry(entries_->GetSelection());
  Refresh();
}

void DialUpDialog::OnOk(wxCommandEvent& /*event*/) {
  TakeFields();
  controller_.PressOk();
  Refresh();
}

void DialUpDialog::OnConnect(wxCommandEvent& /*event*/) {
  TakeFields();
  controller_.PressConnect();
  Refresh();
}

void DialUpDialog::OnCancel(wxCommandEvent& /*event*/) {
  controller_.PressCancel();
  Refresh();
}

void DialUpDialog::OnClose(wxCloseEvent& /*event*/) {
  controller_.PressCancel();
  Refresh();
}

void DialUpDialog::OnTimer(wxTimerEvent& /*event*/) {
  TakeFields();
  if (++polls_ >= kPollsPerSecond) {
    polls_ = 0;
    controller_.OnTimer();
  } else {
    controller_.PollProgress();
  }
  Refresh();
}

bool DialUpDialogPrompt::RunDialMode(DialUpNetwork& network, platform::Profile& profile) {
  DialUpDialog dialog(parent_, network, profile, DialUpController::Mode::kDial);
  // Connected or nothing to dial while it was being made: no need to show it.
  if (dialog.controller().end() != DialUpController::End::kOpen) {
    return dialog.controller().end() == DialUpController::End::kOk;
  }
  return dialog.ShowModal() == wxID_OK;
}

}  // namespace marovine::ui
