#include "marovine/ui/shutdown_countdown_dialog.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "marovine/ui/property_text.h"

namespace marovine::ui {

ShutdownCountdownDialog::ShutdownCountdownDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, ToWx("システムのシャットダウン")), timer_(this) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, ToWx("システムをシャットダウンします。")), 0, wxALL,
              10);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, ToWx("あと")), 0, wxALIGN_CENTER_VERTICAL);
  seconds_ = new wxStaticText(this, wxID_ANY, "10", wxDefaultPosition, wxDefaultSize,
                              wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
  row->Add(seconds_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
  row->Add(new wxStaticText(this, wxID_ANY, ToWx("秒")), 0, wxALIGN_CENTER_VERTICAL);
  column->Add(row, 0, wxLEFT | wxRIGHT, 10);
  bar_ = new wxGauge(this, wxID_ANY, ShutdownCountdown::kSteps, wxDefaultPosition, wxSize(260, -1));
  column->Add(bar_, 0, wxEXPAND | wxALL, 10);
  column->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALIGN_CENTER | wxBOTTOM, 10);
  SetSizerAndFit(column);
  CentreOnParent();

  Bind(wxEVT_TIMER, &ShutdownCountdownDialog::OnTimer, this);
  Bind(wxEVT_BUTTON, &ShutdownCountdownDialog::OnCancel, this, wxID_CANCEL);
  // Every showing counts the full ten seconds again.
  countdown_.Restart();
  ShowCountdown();
  timer_.Start(static_cast<int>(ShutdownCountdown::kStepPeriod.count()));
}

void ShutdownCountdownDialog::ShowCountdown() {
  seconds_->SetLabel(wxString::Format("%d", countdown_.seconds_left()));
  bar_->SetValue(countdown_.bar_position());
}

void ShutdownCountdownDialog::Step() {
  if (countdown_.Step()) {
    timer_.Stop();
    if (IsModal()) EndModal(wxID_OK);
    return;
  }
  ShowCountdown();
}

void ShutdownCountdownDialog::OnTimer(wxTimerEvent& /*event*/) { Step(); }

void ShutdownCountdownDialog::OnCancel(wxCommandEvent& /*event*/) {
  timer_.Stop();
  if (IsModal()) EndModal(wxID_CANCEL);
}

bool CountdownDialogPresenter::RunCountdown() {
  ShutdownCountdownDialog dialog(parent_);
  return dialog.ShowModal() == wxID_OK;
}

}  // namespace marovine::ui
