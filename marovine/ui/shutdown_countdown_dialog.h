#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "marovine/unattended/shutdown_countdown.h"

class wxGauge;
class wxStaticText;

namespace marovine::ui {

// "システムのシャットダウン": ten seconds to cancel the power action. Ends
// with wxID_OK when the countdown runs out, wxID_CANCEL on "Cancel".
class ShutdownCountdownDialog : public wxDialog {
 public:
  explicit ShutdownCountdownDialog(wxWindow* parent);

  const ShutdownCountdown& countdown() const { return countdown_; }
  // One step of the 200 ms timer (tests call it directly).
  void Step();

 private:
  void OnTimer(wxTimerEvent& event);
  void OnCancel(wxCommandEvent& event);
  void ShowCountdown();

  ShutdownCountdown countdown_;
  wxTimer timer_;
  wxStaticText* seconds_ = nullptr;
  wxGauge* bar_ = nullptr;
};

// The countdown shown as that dialog over the main window.
class CountdownDialogPresenter : public CountdownPresenter {
 public:
  explicit CountdownDialogPresenter(wxWindow* parent) : parent_(parent) {}
  bool RunCountdown() override;

 private:
  wxWindow* parent_;
};

}  // namespace marovine::ui
