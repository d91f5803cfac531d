#pragma once

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <utility>

#include "marovine/document/url_entry.h"

class wxTextCtrl;

namespace marovine {

// "丸ごとダウンロード用URL入力ダイアログ": URL, heading and root folder of a
// site to mirror; OK only with all three filled in. "履歴ファイルからインポート"
// takes them from the history file of an earlier mirror.
class WholeSiteUrlDialog : public wxDialog {
 public:
  WholeSiteUrlDialog(wxWindow* parent, const std::string& root_folder);
  // Filled with an entry's values (the URL entry command's "http://" and root).
  WholeSiteUrlDialog(wxWindow* parent, const WholeSiteUrlEntry& initial);

  WholeSiteUrlEntry entry() const;
  wxTextCtrl* url_edit() const { return url_; }
  wxTextCtrl* heading_edit() const { return heading_; }
  wxTextCtrl* root_edit() const { return root_; }

  // Fills the fields from a history file; false (after the message) when it
  // is none.
  bool ImportHistory(const std::string& path);
  // Where messages go; empty means a message box.
  void set_message_sink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  bool TransferDataFromWindow() override;

 private:
  void Tell(const std::string& text);
  void OnImport();

  std::function<void(const std::string&)> sink_;
  wxTextCtrl* url_ = nullptr;
  wxTextCtrl* heading_ = nullptr;
  wxTextCtrl* root_ = nullptr;
};

// Shows the dialog; true with `entry` filled on OK. The caller registers it
// (EnterWholeSiteUrl).
bool AskWholeSiteUrl(wxWindow* parent, const std::string& root_folder, WholeSiteUrlEntry& entry);
// The same, starting from the values the entry holds.
bool AskWholeSiteUrl(wxWindow* parent, WholeSiteUrlEntry& entry);

}  // namespace marovine
