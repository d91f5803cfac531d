#include "tests/support/scripted_ui_services.h"

namespace marovine {

void ScriptedUiServices::ShowMessage(const std::string& text, MessageIcon /*icon*/) {
  messages_.push_back(text);
}

bool ScriptedUiServices::AskYesNo(const std::string& text, MessageIcon /*icon*/) {
  questions_.push_back(text);
  if (answers_.empty()) return false;
  bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}

void ScriptedUiServices::SetStatusText(int pane, const std::string& text) { status_[pane] = text; }

std::string ScriptedUiServices::StatusText(int pane) const {
  auto it = status_.find(pane);
  return it == status_.end() ? std::string() : it->second;
}

}  // namespace marovine
