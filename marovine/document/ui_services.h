#pragma once

#include <string>

namespace marovine {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };

// What the document needs from whatever shows it: the GUI answers with
// dialogs and the status bar, the CLI and the tests headless.
class UiServices {
 public:
  virtual ~UiServices() = default;
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::string& text, MessageIcon icon) = 0;
  // Pane 0 is the main text, pane 1 the progress of link checking.
  virtual void SetStatusText(int pane, const std::string& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  // A found link left out because it holds one of the ignore words. The main
  // pane keeps it: the link-checking pane is rewritten for every link.
  virtual void NoteIgnoredLink(const std::string& url, const std::string& word) {
    SetStatusText(0, "Ignored (\"" + word + "\") " + url);
  }
};

}  // namespace marovine
