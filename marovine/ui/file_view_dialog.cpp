#include "marovine/ui/file_view_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_text.h"
#include "platform/path.h"

namespace marovine {
namespace {

enum Column { kName, kExists, kSize, kComment, kPath, kUrl };

void EnsurePictureHandlers() {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG)) wxImage::AddHandler(new wxJPEGHandler);
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  if (!wxImage::FindHandler(wxBITMAP_TYPE_GIF)) wxImage::AddHandler(new wxGIFHandler);
}

}  // namespace

FileViewDialog::FileViewDialog(wxWindow* parent, FileViewContext context)
    : wxDialog(parent, wxID_ANY, "FileView", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      context_(std::move(context)) {
  EnsurePictureHandlers();
  const int gap = FromDIP(6);
  auto* column = new wxBoxSizer(wxVERTICAL);
  auto* top = new wxBoxSizer(wxHORIZONTAL);

  auto* buttons = new wxBoxSizer(wxVERTICAL);
  auto add_button = [&](const char* label, auto handler) {
    auto* button = new wxButton(this, wxID_ANY, wxString::FromUTF8(label));
    button->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { handler(); });
    buttons->Add(button, 0, wxEXPAND | wxBOTTOM, gap);
  };
  add_button("削除", [this] { DeleteSelected(); });
  add_button("バナー登録", [this] { RegisterSelectedAsBanners(); });
  add_button("再ダウンロード", [this] { RefetchSelected(); });
  add_button("ファイルを開く", [this] { OpenFirstSelected(false); });
  add_button("URLを開く", [this] { OpenFirstSelected(true); });
  top->Add(buttons, 0, wxALL, gap);

  preview_panel_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(450, 250)));
  preview_panel_->SetMinSize(FromDIP(wxSize(450, 250)));
  preview_panel_->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_APPWORKSPACE));
  preview_panel_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintPreview(); });
  top->Add(preview_panel_, 0, wxALL, gap);
  column->Add(top, 0);

  list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(760, 260)), wxLC_REPORT);
  const std::pair<const char*, int> columns[] = {{"ファイル名", 100}, {"存在", 40},
                                                 {"サイズ", 48},      {"コメント", 160},
                                                 {"フルパス", 300},   {"URL", 300}};
  for (const auto& [title, width] : columns) {
    // Never narrower than the title, whatever the font size.
    wxString text = wxString::FromUTF8(title);
    int fitted = std::max(FromDIP(width), list_->GetTextExtent(text).x + FromDIP(24));
    list_->AppendColumn(text, wxLIST_FORMAT_LEFT, fitted);
  }
  list_->Bind(wxEVT_LIST_ITEM_SELECTED,
              [this](wxListEvent& event) { Preview(static_cast<int>(event.GetIndex())); });
  list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { OpenFirstSelected(false); });
  column->Add(list_, 1, wxEXPAND | wxLEFT | wxRIGHT, gap);

  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  column->Add(ok, 0, wxALIGN_RIGHT | wxALL, FromDIP(8));
  SetEscapeId(wxID_OK);
  SetSizerAndFit(column);
  Centre();
}

bool FileViewDialog::TransferDataToWindow() {
  Reload();
  return true;
}

void FileViewDialog::Tell(const std::string& text) {
  if (sink_) {
    sink_(text);
  } else {
    wxMessageBox(ToWx(text), "marovine", wxOK | wxICON_INFORMATION, this);
  }
}

void FileViewDialog::Reload() {
  list_->DeleteAllItems();
  auto rows = LoadFileViewRows(context_.log_path);
  rows_ = rows ? std::move(*rows) : std::vector<FileViewRow>{};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const FileViewRow& row = rows_[i];
    long item = list_->InsertItem(static_cast<long>(i), ToWx(row.name));
    list_->SetItem(item, kExists, wxString::FromUTF8(row.exists ? "○" : "×"));
    if (row.exists)
      list_->SetItem(item, kSize, wxString::Format("%lld", static_cast<long long>(row.size)));
    list_->SetItem(item, kComment, ToWx(row.message));
    list_->SetItem(item, kPath, ToWx(row.path));
    list_->SetItem(item, kUrl, ToWx(row.url));
  }
  if (!rows) Tell(kFileViewLogMissing);
}

std::vector<int> FileViewDialog::Selected() const {
  std::vector<int> selected;
  for (long item = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
       item = list_->GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    if (item < static_cast<long>(rows_.size())) selected.push_back(static_cast<int>(item));
  }
  return selected;
}

void FileViewDialog::Preview(int row) {
  preview_ = wxBitmap();
  no_picture_ = true;
  if (row >= 0 && row < static_cast<int>(rows_.size())) {
    wxLogNull quiet;  // a file that is no picture is said so in the preview
    wxImage picture;
    if (rows_[static_cast<std::size_t>(row)].exists &&
        picture.LoadFile(ToWx(rows_[static_cast<std::size_t>(row)].path))) {
      PreviewSize size = FitPreview(picture.GetWidth(), picture.GetHeight());
      if (size.width > 0 && size.height > 0) {
        preview_ = wxBitmap(picture.Scale(size.width, size.height, wxIMAGE_QUALITY_HIGH));
        no_picture_ = false;
      }
    }
  }
  preview_panel_->Refresh();
}

void FileViewDialog::PaintPreview() {
  wxPaintDC dc(preview_panel_);
  if (preview_.IsOk()) {
    dc.DrawBitmap(preview_, 0, 0);
  } else if (no_picture_) {
    dc.DrawText("No Picture Image", 0, FromDIP(20));
  }
}

void FileViewDialog::OpenFirstSelected(bool url) {
  auto selected = Selected();
  if (selected.empty()) return;
  const FileViewRow& row = rows_[static_cast<std::size_t>(selected.front())];
  if (!OpenWithDesktop(url ? row.url : row.path)) Tell("開けません");
}

void FileViewDialog::DeleteSelected() {
  for (int row : Selected()) (void)platform::RemoveFile(rows_[static_cast<std::size_t>(row)].path);
  Reload();
}

void FileViewDialog::RegisterSelectedAsBanners() {
  for (int row : Selected()) {
    // Files that cannot be read are passed over.
    (void)RegisterFileAsBanner(context_.banner_path, rows_[static_cast<std::size_t>(row)].path,
                               context_.delete_banner_files);
  }
  Reload();
}

void FileViewDialog::RefetchSelected() {
  refetch_.clear();
  for (int row : Selected()) {
    const FileViewRow& file = rows_[static_cast<std::size_t>(row)];
    refetch_.push_back({file.url, file.path});
  }
  EndModal(wxID_OK);
}

std::vector<RefetchRequest> ShowFileView(wxWindow* parent, const FileViewContext& context) {
  FileViewDialog dialog(parent, context);
  dialog.ShowModal();
  return dialog.refetch();
}

}  // namespace marovine
