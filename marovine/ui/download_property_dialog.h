#pragma once

#include <wx/dialog.h>

#include "marovine/engine/work_items.h"

class wxTextCtrl;

namespace marovine {

// "ダウンロードの個別プロパティー": one download item. OK writes URL, saved
// path, referrer and link URL back into the item (its kind stays).
class DownloadPropertyDialog : public wxDialog {
 public:
  DownloadPropertyDialog(wxWindow* parent, const DownloadItem& item);

  const DownloadItem& item() const { return item_; }
  wxTextCtrl* url_edit() const { return url_; }
  wxTextCtrl* path_edit() const { return path_; }

  bool TransferDataFromWindow() override;

 private:
  DownloadItem item_;
  wxTextCtrl* url_ = nullptr;
  wxTextCtrl* site_url_ = nullptr;
  wxTextCtrl* path_ = nullptr;
  wxTextCtrl* referer_ = nullptr;
};

// Shows the dialog; true when OK wrote the edits into `item`. The caller sets
// a changed saved path through the document (which keeps local names
// reserved) and resets the item's row.
bool EditDownloadItemProperties(wxWindow* parent, DownloadItem& item);

}  // namespace marovine
