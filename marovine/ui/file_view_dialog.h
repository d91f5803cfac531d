#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "marovine/album/file_view.h"

class wxListCtrl;
class wxPanel;

namespace marovine {

// What the FileView window needs from the link list command that opens it.
struct FileViewContext {
  std::string log_path;             // the site's detail log
  std::string banner_path;          // banner.dat
  bool delete_banner_files = true;  // DeleteBanner (section Banner)
};

// "FileView": the files one site's crawl saved, with their existence and
// size, a preview of the clicked picture, and deleting, banner registration,
// opening, and fetching again of the selected files.
class FileViewDialog : public wxDialog {
 public:
  FileViewDialog(wxWindow* parent, FileViewContext context);

  // The files "再ダウンロード" asked for (empty unless it closed the window).
  const std::vector<RefetchRequest>& refetch() const { return refetch_; }

  wxListCtrl* list() const { return list_; }
  const std::vector<FileViewRow>& rows() const { return rows_; }
  // The preview's picture size, 0 x 0 when there is none.
  wxSize preview_size() const { return preview_.IsOk() ? preview_.GetSize() : wxSize(0, 0); }

  // The window reads the log when it is shown, and again after deleting or
  // registering files.
  bool TransferDataToWindow() override;
  void Reload();
  void Preview(int row);
  void DeleteSelected();
  void RegisterSelectedAsBanners();
  void RefetchSelected();

  // Where messages go; empty means a message box.
  void set_message_sink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

 private:
  std::vector<int> Selected() const;
  void OpenFirstSelected(bool url);
  void Tell(const std::string& text);
  void PaintPreview();

  FileViewContext context_;
  std::vector<FileViewRow> rows_;
  std::vector<RefetchRequest> refetch_;
  std::function<void(const std::string&)> sink_;
  wxListCtrl* list_ = nullptr;
  wxPanel* preview_panel_ = nullptr;
  wxBitmap preview_;
  bool no_picture_ = false;
};

// Shows the window; the files to fetch again (empty when none were asked for).
std::vector<RefetchRequest> ShowFileView(wxWindow* parent, const FileViewContext& context);

}  // namespace marovine
