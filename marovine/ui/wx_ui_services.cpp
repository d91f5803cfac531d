#include "marovine/ui/wx_ui_services.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "marovine/document/list_search.h"
#include "marovine/ui/list_search_dialogs.h"
#include "marovine/ui/url_entry_dialogs.h"
#include "marovine/ui/whole_site_url_dialog.h"
#include "platform/path.h"

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

// The commands' filters end in "||" and say "*.*" for every file; GTK's
// chooser would show only names with a dot for that.
wxString WxFilter(const std::string& filter) {
  std::string text = filter;
  while (text.ends_with("|")) text.pop_back();
  for (std::size_t at = text.find("|*.*"); at != std::string::npos; at = text.find("|*.*", at)) {
    const std::size_t end = at + 4;
    if (end == text.size() || text[end] == '|') {
      text.replace(at, 4, "|*");
    } else {
      at = end;
    }
  }
  return wxString::FromUTF8(text);
}

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

std::optional<std::string> WxUiServices::ChooseFileToOpen(const std::string& filter) {
  wxFileDialog dialog(frame_, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                      WxFilter(filter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return std::string(dialog.GetPath().utf8_str());
}

std::optional<std::string> WxUiServices::ChooseFileToSave(const std::string& default_extension,
                                                          const std::string& filter) {
  wxFileDialog dialog(frame_, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                      WxFilter(filter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  std::string path(dialog.GetPath().utf8_str());
  if (!default_extension.empty() && platform::NameOf(path).find('.') == std::string::npos) {
    path += "." + default_extension;
  }
  return path;
}

std::optional<std::string> WxUiServices::ClipboardText() {
  wxClipboardLocker lock;
  if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return std::nullopt;
  wxTextDataObject data;
  if (!wxTheClipboard->GetData(data)) return std::nullopt;
  return std::string(data.GetText().utf8_str());
}

std::optional<std::string> WxUiServices::EnterCrawlUrlText(const std::string& initial) {
  return AskCrawlUrl(frame_, initial);
}

bool WxUiServices::EditWholeSiteUrl(WholeSiteUrlEntry& entry) {
  return AskWholeSiteUrl(frame_, entry);
}

bool WxUiServices::EditSearchSettings(SearchSettings& settings) {
  return AskSearchSettings(frame_, settings);
}

bool WxUiServices::EditReplaceRequest(ReplaceRequest& request) {
  return AskReplaceRequest(frame_, request);
}

}  // namespace marovine::ui
