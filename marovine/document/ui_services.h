#pragma once

#include <optional>
#include <string>

namespace marovine {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };

struct SearchSettings;
struct ReplaceRequest;
struct WholeSiteUrlEntry;

// What the document needs from whatever shows it: the GUI answers with
// dialogs and the status bar, the CLI and the tests headless.
//
// The dialogs of the menu commands have answers that mean "cancelled" by
// default, so a front end without them (the CLI) simply never runs those
// commands' effects.
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
  // Something the crawl did besides its transfers failed (a site's album not
  // written). It never stops the crawl: the window shows it in the main pane,
  // the CLI prints it and ends with a failing status.
  virtual void NoteFailure(const std::string& text) { SetStatusText(0, text); }

  // An existing file the user picks to read; nothing when cancelled. The
  // filter is in the "caption|pattern|...||" form the commands give.
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& /*filter*/) {
    return std::nullopt;
  }
  // A file to write (it may exist); the extension is added when the user
  // typed a name without one.
  virtual std::optional<std::string> ChooseFileToSave(const std::string& /*default_extension*/,
                                                      const std::string& /*filter*/) {
    return std::nullopt;
  }
  // The text on the clipboard; nothing when it holds no text.
  virtual std::optional<std::string> ClipboardText() { return std::nullopt; }
  // Opens a file, folder or web address with the desktop's program for it.
  // False when that could not be started.
  virtual bool ShellOpen(const std::string& target);
  // Starts a program file of ours (the drop tool); false when it cannot run.
  virtual bool StartProgram(const std::string& path);

  // The URL entry dialog of the crawl mode, starting with the given text;
  // nothing when cancelled.
  virtual std::optional<std::string> EnterCrawlUrlText(const std::string& /*initial*/) {
    return std::nullopt;
  }
  // The whole-site URL entry dialog, filled with the entry's values; false
  // when cancelled, else the entry holds what was entered.
  virtual bool EditWholeSiteUrl(WholeSiteUrlEntry& /*entry*/) { return false; }
  // The search dialog, filled with the last settings; false when cancelled.
  virtual bool EditSearchSettings(SearchSettings& /*settings*/) { return false; }
  // The replace dialog, empty each time; false when cancelled.
  virtual bool EditReplaceRequest(ReplaceRequest& /*request*/) { return false; }
};

}  // namespace marovine
