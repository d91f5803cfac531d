#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "marovine/unattended/dialup_network.h"
#include "platform/profile.h"

namespace marovine {

// The dial-up dialog "Marovine RAS Controler" without its window: the entry
// list, the credentials and redial fields, the status list and the OK
// button's text, and what its buttons and its one-second timer do. The
// window shows these and forwards its events; the tests drive it directly.
//
// Settings mode (from the menu) picks the entry and the redial settings;
// dial mode (from the schedule) dials at once, redials after failures and
// ends with OK once connected.
class DialUpController {
 public:
  enum class Mode { kDial = 0, kSettings = 1 };
  enum class End { kOpen, kOk, kCancel };
  using Sleep = std::function<void(std::chrono::milliseconds)>;

  DialUpController(DialUpNetwork& network, platform::Profile& profile, Mode mode, Sleep sleep);

  // Fills the dialog; in dial mode dialling starts at once.
  void Initialise();
  // The user picked another entry: its user name and password are loaded.
  void SelectEntry(int index);
  void PressOk();
  void PressConnect();
  void PressCancel();
  // The dialog's timer, every 1000 ms: the attempt's progress, the redial wait.
  void OnTimer();
  // The attempt's progress alone (the window may look more often).
  void PollProgress();

  // What the window shows.
  const std::vector<std::string>& list_texts() const { return list_texts_; }
  bool list_enabled() const { return list_enabled_; }
  int selected() const { return selected_; }
  const std::deque<std::string>& status_lines() const { return status_lines_; }  // newest first
  const std::string& ok_text() const { return ok_text_; }
  bool connect_enabled() const { return connect_enabled_; }
  Mode mode() const { return mode_; }
  End end() const { return end_; }
  bool dialling() const { return handle_.has_value(); }
  // A message box to show once ("すでに接続されています。"); taking it clears it.
  std::optional<std::string> TakeMessage();

  // The editable fields.
  std::string user;
  std::string password;
  std::string redial_field;
  std::string wait_field;

 private:
  void StartDialling();
  void HangUpAttempt();
  void Insert(const std::string& line) { status_lines_.push_front(line); }
  const DialUpEntry* SelectedEntry() const;

  DialUpNetwork& network_;
  platform::Profile& profile_;
  Mode mode_;
  Sleep sleep_;
  std::vector<DialUpEntry> entries_;
  std::vector<std::string> list_texts_;
  bool list_enabled_ = false;
  int selected_ = -1;
  std::deque<std::string> status_lines_;
  std::string ok_text_;
  bool connect_enabled_ = true;
  End end_ = End::kOpen;
  std::optional<std::string> handle_;
  DialStage shown_stage_ = DialStage::kStarted;
  bool redial_pending_ = false;
  int wait_counter_ = 0;
  std::optional<std::string> message_;
  DialUpCredentials loaded_;  // what the selected entry lent
};

// The texts of the attempt's stages in the status list ("" for none).
const char* DialStageText(DialStage stage);

}  // namespace marovine
