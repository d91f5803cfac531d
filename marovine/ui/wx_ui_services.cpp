#include "marovine/ui/wx_ui_services.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/msgdlg.h>
#include <wx/process.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

namespace marovine::ui {
namespace {

long IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return wxICON_INFORMATION;
    case MessageIcon::kWarning:
      return wxICON_EXCLAMATION;
    case MessageIcon::kError:
      return wxICON_ERROR;
    case MessageIcon::kQuestion:
      return wxICON_QUESTION;
    case MessageIcon::kNone:
      break;
  }
  return 0;
}

// Says "開けません" when the opener ends unsuccessfully (the main window may be
// gone by then, so the box is the application's); deletes itself.
class OpenerProcess : public wxProcess {
 public:
  explicit OpenerProcess(bool report) : report_(report) {}
  void OnTerminate(int /*pid*/, int status) override {
    if (status != 0 && report_) {
      wxMessageBox(wxString::FromUTF8(kCannotOpen), wxString::FromUTF8(kMessageCaption), wxOK);
    }
    delete this;
  }

 private:
  bool report_;
};

}  // namespace

WxUiServices::~WxUiServices() {
  while (busy_depth_ > 0) SetWaitCursor(false);
}

void WxUiServices::ShowMessage(const std::string& text, MessageIcon icon) {
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(kMessageCaption),
               wxOK | IconStyle(icon), frame_);
}

bool WxUiServices::AskYesNo(const std::string& text, MessageIcon icon) {
  return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(kMessageCaption),
                      wxYES_NO | IconStyle(icon), frame_) == wxYES;
}

void WxUiServices::SetStatusText(int pane, const std::string& text) {
  wxStatusBar* bar = frame_->GetStatusBar();
  if (bar == nullptr || pane < 0 || pane >= bar->GetFieldsCount()) return;
  wxString shown = wxString::FromUTF8(text);
  if (bar->GetStatusText(pane) != shown) bar->SetStatusText(shown, pane);
}

void WxUiServices::SetWaitCursor(bool on) {
  if (on) {
    wxBeginBusyCursor();
    ++busy_depth_;
  } else if (busy_depth_ > 0) {
    wxEndBusyCursor();
    --busy_depth_;
  }
}

bool WxUiServices::ShellOpen(const std::string& target, bool report_failure) {
  wxString opener = "xdg-open";
  wxString argument = wxString::FromUTF8(target);
  const wchar_t* argv[] = {opener.wc_str(), argument.wc_str(), nullptr};
  auto* process = new OpenerProcess(report_failure);
  if (wxExecute(argv, wxEXEC_ASYNC, process) <= 0) {
    delete process;
    if (report_failure) ShowMessage(kCannotOpen, MessageIcon::kNone);
    return false;
  }
  return true;
}

std::optional<std::string> WxUiServices::ClipboardText() {
  wxClipboardLocker lock;
  if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return std::nullopt;
  wxTextDataObject data;
  if (!wxTheClipboard->GetData(data)) return std::nullopt;
  return std::string(data.GetText().utf8_str());
}

}  // namespace marovine::ui
