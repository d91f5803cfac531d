#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "marovine/document/list_search.h"
#include "marovine/document/ui_services.h"
#include "marovine/document/url_entry.h"

namespace marovine {

// UiServices for the CLI and the tests: messages and questions are recorded,
// questions take their answers from a script (No when it runs dry), and the
// status panes keep their last text. The dialogs answer from their own
// scripts (cancelled when those run dry); shell opens and program starts are
// recorded and answer success unless told otherwise.
class ScriptedUiServices : public UiServices {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool on) override { wait_cursor_ = on; }
  std::optional<std::string> ChooseFileToOpen(const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& default_extension,
                                              const std::string& filter) override;
  std::optional<std::string> ClipboardText() override { return clipboard_; }
  bool ShellOpen(const std::string& target) override;
  bool StartProgram(const std::string& path) override;
  std::optional<std::string> EnterCrawlUrlText(const std::string& initial) override;
  bool EditWholeSiteUrl(WholeSiteUrlEntry& entry) override;
  bool EditSearchSettings(SearchSettings& settings) override;
  bool EditReplaceRequest(ReplaceRequest& request) override;

  void QueueAnswer(bool yes) { answers_.push_back(yes); }
  void QueueFileChoice(std::string path) { file_choices_.push_back(std::move(path)); }
  void SetClipboard(std::optional<std::string> text) { clipboard_ = std::move(text); }
  void SetShellOpenSucceeds(bool succeeds) { shell_open_succeeds_ = succeeds; }
  void QueueCrawlUrl(std::string url) { crawl_urls_.push_back(std::move(url)); }
  void QueueWholeSiteEntry(WholeSiteUrlEntry entry) { whole_site_entries_.push_back(entry); }
  void QueueSearchSettings(SearchSettings settings) { search_settings_.push_back(settings); }
  void QueueReplaceRequest(ReplaceRequest request) { replace_requests_.push_back(request); }

  const std::vector<std::string>& messages() const { return messages_; }
  const std::vector<std::string>& questions() const { return questions_; }
  // Every text status pane `pane` was given, in order.
  const std::vector<std::string>& status_history(int pane) { return status_history_[pane]; }
  std::string StatusText(int pane) const;
  bool wait_cursor() const { return wait_cursor_; }
  const std::vector<std::string>& opened() const { return opened_; }
  const std::vector<std::string>& started_programs() const { return started_; }
  // What the dialogs were shown: filters, initial texts and entries.
  const std::vector<std::string>& dialog_log() const { return dialog_log_; }

 private:
  std::deque<bool> answers_;
  std::deque<std::string> file_choices_;
  std::deque<std::string> crawl_urls_;
  std::deque<WholeSiteUrlEntry> whole_site_entries_;
  std::deque<SearchSettings> search_settings_;
  std::deque<ReplaceRequest> replace_requests_;
  std::optional<std::string> clipboard_;
  bool shell_open_succeeds_ = true;
  std::vector<std::string> messages_;
  std::vector<std::string> questions_;
  std::vector<std::string> opened_;
  std::vector<std::string> started_;
  std::vector<std::string> dialog_log_;
  std::map<int, std::string> status_;
  std::map<int, std::vector<std::string>> status_history_;
  bool wait_cursor_ = false;
};

}  // namespace marovine
