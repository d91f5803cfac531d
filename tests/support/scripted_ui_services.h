#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "marovine/document/ui_services.h"

namespace marovine {

// UiServices for the CLI and the tests: messages and questions are recorded,
// questions take their answers from a script (No when it runs dry), and the
// status panes keep their last text.
class ScriptedUiServices : public UiServices {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool on) override { wait_cursor_ = on; }

  void QueueAnswer(bool yes) { answers_.push_back(yes); }

  const std::vector<std::string>& messages() const { return messages_; }
  const std::vector<std::string>& questions() const { return questions_; }
  std::string StatusText(int pane) const;
  bool wait_cursor() const { return wait_cursor_; }

 private:
  std::deque<bool> answers_;
  std::vector<std::string> messages_;
  std::vector<std::string> questions_;
  std::map<int, std::string> status_;
  bool wait_cursor_ = false;
};

}  // namespace marovine
