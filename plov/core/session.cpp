#include "plov/core/session.h"

#include "plov/core/plov_texts.h"

namespace plov {

Session::Session(InstallHost& host, std::string log_name)
    : host_(host),
      style_(host.Paths()),
      own_(OwnPathsOf(host.OwnPath(), style_.separator)),
      log_name_(std::move(log_name)) {}

int Session::Fail(int number, const std::string& argument, int code) {
  std::string text = MessageText(number, argument, code);
  if (!changes_.empty()) {
    std::string log_path = Join(host_.TempFolder(), log_name_);
    std::string log;
    for (const auto& change : changes_) log += change + "\n";
    if (host_.WriteFile(log_path, log)) text += "\n\n(log: " + log_path + ")";
  }
  host_.Show({kErrorCaption, text, MessageKind::kError});
  return kExitFailed;
}

void Session::Inform(int number, MessageKind kind) {
  host_.Show({caption_, std::string(TextOf(number)), kind});
}

bool Session::Confirm(int number) {
  return host_.Ask({caption_, std::string(TextOf(number)), MessageKind::kQuestion});
}

}  // namespace plov
