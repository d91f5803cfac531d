#pragma once

#include <wx/dialog.h>

#include <optional>
#include <string>

#include "marovine/document/url_entry.h"

class wxTextCtrl;

namespace marovine {

// "まろびねダウンロード用URLの挿入": one field for the address of a site or file.
class CrawlUrlDialog : public wxDialog {
 public:
  CrawlUrlDialog(wxWindow* parent, const std::string& initial);
  std::string Url() const;

 private:
  wxTextCtrl* url_;
};

// "丸ごとダウンロード用URL入力ダイアログ": address, heading and root folder of a
// site to copy whole.
class WholeSiteUrlDialog : public wxDialog {
 public:
  WholeSiteUrlDialog(wxWindow* parent, const WholeSiteUrlEntry& initial);
  WholeSiteUrlEntry Entry() const;

 private:
  void OnBrowse(wxCommandEvent& event);

  wxTextCtrl* url_;
  wxTextCtrl* heading_;
  wxTextCtrl* root_folder_;
};

// The dialogs run modally; nothing (or false) when cancelled.
std::optional<std::string> AskCrawlUrl(wxWindow* parent, const std::string& initial);
bool AskWholeSiteUrl(wxWindow* parent, WholeSiteUrlEntry& entry);

}  // namespace marovine
