#include "plov/core/scripted_dialogs.h"

#include "plov/core/plov_texts.h"

namespace plov {
namespace {

std::deque<std::string> Split(std::string_view text, char separator) {
  std::deque<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    auto end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool Contains(const std::deque<std::string>& parts, std::string_view part) {
  for (const auto& p : parts) {
    if (p == part) return true;
  }
  return false;
}

}  // namespace

ScriptedDialogs::ScriptedDialogs(std::string_view answers, std::ostream& transcript)
    : transcript_(transcript) {
  for (const auto& setting : Split(answers, ';')) {
    auto eq = setting.find('=');
    std::string name = setting.substr(0, eq);
    std::string value = eq == std::string::npos ? "" : setting.substr(eq + 1);
    if (name == "ask") {
      for (const auto& answer : Split(value, ',')) asks_.push_back(answer == "yes");
    } else if (name == "page") {
      page_next_ = value != "cancel";
    } else if (name == "options") {
      options_ = value;
    } else if (name == "folder") {
      folder_ = value;
    }
  }
}

void ScriptedDialogs::Write(std::string_view what, const std::string& caption,
                            const std::string& text) {
  transcript_ << what << " [" << caption << "] " << text << "\n";
  transcript_.flush();
}

void ScriptedDialogs::Show(const MessageBoxRequest& message) {
  const char* kinds[] = {"information", "warning", "error", "question"};
  Write(kinds[static_cast<int>(message.kind)], message.caption, message.text);
}

bool ScriptedDialogs::Ask(const MessageBoxRequest& question) {
  bool yes = !asks_.empty() && asks_.front();
  if (!asks_.empty()) asks_.pop_front();
  Write(yes ? "question(yes)" : "question(no)", question.caption, question.text);
  return yes;
}

bool ScriptedDialogs::ShowTextPage(const TextPageRequest& page) {
  Write("text page", page.caption, page.text);
  if (page_next_) return true;
  // Cancel that is not confirmed keeps the page; take it as Next then.
  return !page.confirm_cancel();
}

std::optional<OptionsChoice> ScriptedDialogs::ShowOptions(const OptionsRequest& options) {
  Write("options", options.caption, options.with_folder ? options.folder : "(no folder)");
  OptionsChoice choice{options.group.checked, options.startup.checked, options.desktop.checked,
                       options.folder};
  if (options_) {
    if (*options_ == "cancel") {
      if (options.confirm_cancel()) return std::nullopt;
    } else {
      auto boxes = Split(*options_, '+');
      choice.group = Contains(boxes, "group");
      choice.startup = Contains(boxes, "startup");
      choice.desktop = Contains(boxes, "desktop");
    }
  }
  if (options.with_folder && folder_) {
    choice.folder = *folder_;
    if (int problem = options.folder_problem(choice.folder)) {
      // The dialog would keep the user in the box; a test has no second try.
      Show({options.caption, std::string(TextOf(problem)), MessageKind::kWarning});
      return std::nullopt;
    }
  }
  return choice;
}

}  // namespace plov
