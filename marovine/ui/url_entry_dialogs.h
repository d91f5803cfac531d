#pragma once

#include <wx/dialog.h>

#include <optional>
#include <string>

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

// Runs the dialog modally; nothing when cancelled. The whole-site mode has
// its own dialog (whole_site_url_dialog.h).
std::optional<std::string> AskCrawlUrl(wxWindow* parent, const std::string& initial);

}  // namespace marovine
