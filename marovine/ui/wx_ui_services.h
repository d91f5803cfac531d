#pragma once

#include <wx/frame.h>

#include <optional>
#include <string>

#include "marovine/document/ui_services.h"

namespace marovine::ui {

// The caption of the program's message boxes.
inline constexpr const char* kMessageCaption = "Marovine Ver 3";

// The document's view of the desktop, with wx: message boxes owned by the
// main window, its three status panes, the busy cursor, the clipboard, the file
// choosers and the dialogs of the list commands. UI thread only.
class WxUiServices : public UiServices {
 public:
  explicit WxUiServices(wxFrame* frame) : frame_(frame) {}
  ~WxUiServices() override;

  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool on) override;

  std::optional<std::string> ChooseFileToOpen(const std::string& filter) override;
  std::optional<std::string> ChooseFileToSave(const std::string& default_extension,
                                              const std::string& filter) override;
  // The text of the clipboard (the CLIPBOARD selection, not the primary one).
  std::optional<std::string> ClipboardText() override;
  std::optional<std::string> EnterCrawlUrlText(const std::string& initial) override;
  bool EditWholeSiteUrl(WholeSiteUrlEntry& entry) override;
  bool EditSearchSettings(SearchSettings& settings) override;
  bool EditReplaceRequest(ReplaceRequest& request) override;

 private:
  wxFrame* frame_;
  int busy_depth_ = 0;
};

}  // namespace marovine::ui
