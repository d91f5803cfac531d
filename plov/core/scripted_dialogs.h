#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <string_view>

#include "plov/core/install_host.h"

namespace plov {

// The variable that switches a plov program into its test mode: no window
// opens, every box is written to standard output, and the answers come from
// the variable's value, e.g.
//   PLOV_TEST_ANSWERS="ask=yes,no;page=next;options=group+desktop;folder=/opt/x"
// ask:     answers to Yes/No questions in order (No once they run out)
// page:    "next" or "cancel" for the text page (next by default)
// options: the ticked boxes joined by "+", "none", or "cancel" (default: the
//          boxes as the script proposes them)
// folder:  typed into the folder box instead of the proposal
inline constexpr char kTestAnswersVariable[] = "PLOV_TEST_ANSWERS";

class ScriptedDialogs : public UserDialogs {
 public:
  ScriptedDialogs(std::string_view answers, std::ostream& transcript);

  void Show(const MessageBoxRequest& message) override;
  bool Ask(const MessageBoxRequest& question) override;
  bool ShowTextPage(const TextPageRequest& page) override;
  std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) override;

 private:
  void Write(std::string_view what, const std::string& caption, const std::string& text);

  std::ostream& transcript_;
  std::deque<bool> asks_;
  bool page_next_ = true;
  std::optional<std::string> options_;
  std::optional<std::string> folder_;
};

}  // namespace plov
