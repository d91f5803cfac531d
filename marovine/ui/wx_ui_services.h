#pragma once

#include <wx/frame.h>

#include <optional>
#include <string>

#include "marovine/document/ui_services.h"

namespace marovine::ui {

// The caption of the program's message boxes.
inline constexpr const char* kMessageCaption = "Marovine Ver 3";
// Shown when the desktop could not open a file, a folder or an address.
inline constexpr const char* kCannotOpen = "開けません";

// The document's view of the desktop, with wx: message boxes owned by the
// main window, its three status panes, the busy cursor, the clipboard and the
// desktop's opener. UI thread only.
class WxUiServices : public UiServices {
 public:
  explicit WxUiServices(wxFrame* frame) : frame_(frame) {}
  ~WxUiServices() override;

  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text, MessageIcon icon) override;
  void SetStatusText(int pane, const std::string& text) override;
  void SetWaitCursor(bool on) override;

  // Opens a file, folder or address with the desktop's program for it
  // (xdg-open, started without a shell). The opener's answer comes later:
  // when it fails and `report_failure` holds, "開けません" is shown then.
  // False when the opener could not even be started.
  bool ShellOpen(const std::string& target, bool report_failure = true);
  // The clipboard's text; nothing when it holds none.
  std::optional<std::string> ClipboardText();

 private:
  wxFrame* frame_;
  int busy_depth_ = 0;
};

}  // namespace marovine::ui
