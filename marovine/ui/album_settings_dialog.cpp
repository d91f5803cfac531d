#include "marovine/ui/album_settings_dialog.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>

#include "marovine/document/settings_pages.h"
#include "marovine/ui/album_progress_dialog.h"
#include "marovine/ui/property_choosers.h"
#include "marovine/ui/property_layout.h"
#include "marovine/ui/property_text.h"

namespace marovine {
namespace {

// Thumbnails wider than this are pictures of their own; a table of more
// columns than this no longer fits any screen.
constexpr int kWidestThumbnail = 4096;
constexpr int kMostColumns = 100;
constexpr int kMostFiles = 1000000;

wxTextCtrl* ShortEdit(wxWindow* parent, const wxString& value) {
  auto* edit = new wxTextCtrl(parent, wxID_ANY, value);
  edit->SetMinSize(wxSize(edit->GetTextExtent("0000000").x + parent->FromDIP(16), -1));
  return edit;
}

// "before [control] after" on one row of `column`.
void AddInlineRow(wxWindow* parent, wxSizer* column, const char* before, wxWindow* control,
                  const char* after) {
  const int gap = parent->FromDIP(6);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddSpacer(parent->FromDIP(20));
  row->Add(new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(before)), 0,
           wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  row->Add(control, 0, wxALIGN_CENTER_VERTICAL);
  if (*after) {
    row->Add(new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(after)), 0,
             wxALIGN_CENTER_VERTICAL | wxLEFT, gap);
  }
  column->Add(row, 0, wxLEFT | wxRIGHT | wxTOP, gap);
}

}  // namespace

AlbumSettingsDialog::AlbumSettingsDialog(wxWindow* parent, platform::Profile& profile)
    : wxDialog(parent, wxID_ANY, "Marovine HTML Album Maker", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      profile_(profile),
      settings_(LoadAlbumSettings(profile)) {
  const int gap = FromDIP(6);
  auto* column = new wxBoxSizer(wxVERTICAL);

  auto* pairs = new wxBoxSizer(wxHORIZONTAL);
  auto radio_pair = [&](const char* first, const char* second, bool first_on,
                        wxRadioButton*& first_button, wxRadioButton*& second_button) {
    auto* box = new wxBoxSizer(wxVERTICAL);
    first_button = new wxRadioButton(this, wxID_ANY, wxString::FromUTF8(first), wxDefaultPosition,
                                     wxDefaultSize, wxRB_GROUP);
    second_button = new wxRadioButton(this, wxID_ANY, wxString::FromUTF8(second));
    (first_on ? first_button : second_button)->SetValue(true);
    box->Add(first_button, 0, wxBOTTOM, gap);
    box->Add(second_button);
    pairs->Add(box, 0, wxRIGHT, FromDIP(24));
  };
  // The job takes the table layout whenever "AllView" is on, and direct
  // links whenever "DontMakeHtmlLink" is: the buttons show what will happen.
  radio_pair("一覧形式", "Menu形式", settings_.all_view != 0 || settings_.menu_view == 0, all_view_,
             menu_view_);
  radio_pair("表示用HTMLを作成", "ファイルに直接リンク",
             settings_.dont_make_html_link == 0 && settings_.make_html_link != 0, view_pages_,
             direct_links_);
  column->Add(pairs, 0, wxALL, gap);

  thumbnails_ = new wxCheckBox(this, wxID_ANY, wxString::FromUTF8("サムネイルを作成する。"));
  thumbnails_->SetValue(settings_.make_thumbnail != 0);
  column->Add(thumbnails_, 0, wxLEFT | wxRIGHT | wxTOP, gap);
  thumb_folder_ = ShortEdit(this, ToWx(settings_.thumb_folder));
  AddInlineRow(this, column, "格納フォルダ名", thumb_folder_, "");
  width_ = ShortEdit(this, wxString::Format("%d", settings_.thumb_width));
  AddInlineRow(this, column, "横幅を", width_, "ピクセルに合わせる。");
  columns_ = ShortEdit(this, wxString::Format("%d", settings_.columns));
  AddInlineRow(this, column, "サムネイルの列数を", columns_, "にする。");

  after_download_ = new wxCheckBox(
      this, wxID_ANY,
      wxString::FromUTF8("1つのサイトのまろびねが終了するたびに、HTMLアルバムを作成する。"));
  after_download_->SetValue(settings_.make_album_after_download != 0);
  column->Add(after_download_, 0, wxLEFT | wxRIGHT | wxTOP, gap);
  file_count_ = ShortEdit(this, wxString::Format("%d", settings_.album_file_num));
  AddInlineRow(this, column, "ファイル数", file_count_, "個以上のとき。");

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* folder_album = new wxButton(this, wxID_ANY, wxString::FromUTF8("フォルダを指定して実行"));
  folder_album->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFolderAlbum(); });
  folder_album_ = folder_album;
  buttons->Add(folder_album);
  buttons->AddStretchSpacer();
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (Save()) EndModal(wxID_OK);
  });
  buttons->Add(ok, 0, wxLEFT, gap);
  buttons->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("ｷｬﾝｾﾙ")), 0, wxLEFT, gap);
  column->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(8));
  FitEditHeights(this);
  SetSizerAndFit(column);
  Centre();
}

bool AlbumSettingsDialog::TakeNumber(wxTextCtrl* edit, int min, int max, int& field) {
  int number = 0;
  if (auto error = ParseEditNumber(FromWx(edit->GetValue()), min, max, false, number)) {
    if (sink_) {
      sink_(*error);
    } else {
      wxMessageBox(ToWx(*error), "marovine", wxOK | wxICON_EXCLAMATION, this);
    }
    edit->SetFocus();
    edit->SelectAll();
    return false;
  }
  field = number;
  edit->ChangeValue(wxString::Format("%d", number));
  return true;
}

bool AlbumSettingsDialog::TransferDataFromWindow() {
  AlbumSettings edited = settings_;
  if (!TakeNumber(width_, 1, kWidestThumbnail, edited.thumb_width) ||
      !TakeNumber(columns_, 1, kMostColumns, edited.columns) ||
      !TakeNumber(file_count_, 0, kMostFiles, edited.album_file_num)) {
    return false;
  }
  edited.all_view = all_view_->GetValue() ? 1 : 0;
  edited.menu_view = menu_view_->GetValue() ? 1 : 0;
  edited.make_html_link = view_pages_->GetValue() ? 1 : 0;
  edited.dont_make_html_link = direct_links_->GetValue() ? 1 : 0;
  edited.make_thumbnail = thumbnails_->GetValue() ? 1 : 0;
  edited.make_album_after_download = after_download_->GetValue() ? 1 : 0;
  edited.thumb_folder = FromWx(thumb_folder_->GetValue());
  settings_ = edited;
  return true;
}

bool AlbumSettingsDialog::Save() {
  if (!TransferDataFromWindow()) return false;
  if (SaveAlbumSettings(profile_, settings_)) return true;
  wxMessageBox(wxString::FromUTF8("設定ファイルに書き込めません。\n") + ToWx(profile_.path()),
               "marovine", wxOK | wxICON_ERROR, this);
  return false;
}

void AlbumSettingsDialog::OnFolderAlbum() {
  if (!Save()) return;
  std::string folder;
  if (chooser_) {
    folder = chooser_();
  } else if (auto chosen = ChooseFolder(this, "")) {
    folder = *chosen;
  }
  if (folder.empty()) return;
  MakeFolderAlbumShowingProgress(this, folder, settings_);
}

bool ShowAlbumSettingsDialog(wxWindow* parent, platform::Profile& profile) {
  AlbumSettingsDialog dialog(parent, profile);
  return dialog.ShowModal() == wxID_OK;
}

}  // namespace marovine
