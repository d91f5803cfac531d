#include "tests/support/scripted_ui_services.h"

namespace marovine {

namespace {

template <typename T>
std::optional<T> Take(std::deque<T>& script) {
  if (script.empty()) return std::nullopt;
  T value = std::move(script.front());
  script.pop_front();
  return value;
}

}  // namespace

void ScriptedUiServices::ShowMessage(const std::string& text, MessageIcon /*icon*/) {
  messages_.push_back(text);
}

bool ScriptedUiServices::AskYesNo(const std::string& text, MessageIcon /*icon*/) {
  questions_.push_back(text);
  return Take(answers_).value_or(false);
}

void ScriptedUiServices::SetStatusText(int pane, const std::string& text) {
  status_[pane] = text;
  status_history_[pane].push_back(text);
}

std::string ScriptedUiServices::StatusText(int pane) const {
  auto it = status_.find(pane);
  return it == status_.end() ? std::string() : it->second;
}

std::optional<std::string> ScriptedUiServices::ChooseFileToOpen(const std::string& filter) {
  dialog_log_.push_back("open " + filter);
  return Take(file_choices_);
}

std::optional<std::string> ScriptedUiServices::ChooseFileToSave(
    const std::string& default_extension, const std::string& filter) {
  dialog_log_.push_back("save ." + default_extension + " " + filter);
  return Take(file_choices_);
}

bool ScriptedUiServices::ShellOpen(const std::string& target) {
  opened_.push_back(target);
  return shell_open_succeeds_;
}

bool ScriptedUiServices::StartProgram(const std::string& path) {
  started_.push_back(path);
  return shell_open_succeeds_;
}

std::optional<std::string> ScriptedUiServices::EnterCrawlUrlText(const std::string& initial) {
  dialog_log_.push_back("crawl url " + initial);
  return Take(crawl_urls_);
}

bool ScriptedUiServices::EditWholeSiteUrl(WholeSiteUrlEntry& entry) {
  dialog_log_.push_back("whole site " + entry.url + " " + entry.root_folder);
  auto answer = Take(whole_site_entries_);
  if (answer) entry = *answer;
  return answer.has_value();
}

bool ScriptedUiServices::EditSearchSettings(SearchSettings& settings) {
  dialog_log_.push_back("search " + settings.text);
  auto answer = Take(search_settings_);
  if (answer) settings = *answer;
  return answer.has_value();
}

bool ScriptedUiServices::EditReplaceRequest(ReplaceRequest& request) {
  dialog_log_.push_back("replace " + request.from);
  auto answer = Take(replace_requests_);
  if (answer) request = *answer;
  return answer.has_value();
}

}  // namespace marovine
