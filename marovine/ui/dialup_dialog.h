#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "marovine/unattended/dialup_controller.h"
#include "marovine/unattended/dialup_line.h"

class wxButton;
class wxListBox;
class wxTextCtrl;

namespace marovine::ui {

// "Marovine RAS Controler": the window of DialUpController, which holds all
// of its behaviour. Settings mode from the menu, dial mode from the schedule.
class DialUpDialog : public wxDialog {
 public:
  DialUpDialog(wxWindow* parent, DialUpNetwork& network, platform::Profile& profile,
               DialUpController::Mode mode);

  DialUpController& controller() { return controller_; }
  // Shows the model's state and ends the dialog when the model has ended.
  void Refresh();

 private:
  void TakeFields();
  void OnEntry(wxCommandEvent& event);
  void OnOk(wxCommandEvent& event);
  void OnConnect(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnTimer(wxTimerEvent& event);

  DialUpController controller_;
  wxTimer timer_;
  int polls_ = 0;
  wxListBox* entries_ = nullptr;
  wxTextCtrl* user_ = nullptr;
  wxTextCtrl* password_ = nullptr;
  wxListBox* status_ = nullptr;
  wxTextCtrl* redial_ = nullptr;
  wxTextCtrl* wait_ = nullptr;
  wxButton* connect_ = nullptr;
  wxButton* ok_ = nullptr;
};

// The dial mode shown as that dialog over the main window.
class DialUpDialogPrompt : public DialUpPrompt {
 public:
  explicit DialUpDialogPrompt(wxWindow* parent) : parent_(parent) {}
  bool RunDialMode(DialUpNetwork& network, platform::Profile& profile) override;

 private:
  wxWindow* parent_;
};

}  // namespace marovine::ui
