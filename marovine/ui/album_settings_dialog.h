#pragma once

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <utility>

#include "marovine/album/album_settings.h"
#include "platform/profile.h"

class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace marovine {

// "Marovine HTML Album Maker": the album keys of marovine.ini. OK saves every
// key in one rewrite of the file; "ｷｬﾝｾﾙ" saves nothing. "フォルダを指定して
// 実行" saves the keys, asks for a folder and makes the album of its pictures.
class AlbumSettingsDialog : public wxDialog {
 public:
  AlbumSettingsDialog(wxWindow* parent, platform::Profile& profile);

  const AlbumSettings& settings() const { return settings_; }

  wxRadioButton* menu_layout() const { return menu_view_; }
  wxRadioButton* direct_links() const { return direct_links_; }
  wxCheckBox* after_download_box() const { return after_download_; }
  wxTextCtrl* width_edit() const { return width_; }
  wxTextCtrl* columns_edit() const { return columns_; }
  wxTextCtrl* folder_edit() const { return thumb_folder_; }
  wxWindow* folder_album_button() const { return folder_album_; }

  // Where refusals go; empty means a message box.
  void set_message_sink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
  // Stands in for the folder browser (tests); empty means the browser.
  void set_folder_chooser(std::function<std::string()> chooser) { chooser_ = std::move(chooser); }

  bool TransferDataFromWindow() override;

 private:
  bool Save();
  void OnFolderAlbum();
  bool TakeNumber(wxTextCtrl* edit, int min, int max, int& field);

  platform::Profile& profile_;
  AlbumSettings settings_;
  std::function<void(const std::string&)> sink_;
  std::function<std::string()> chooser_;
  wxRadioButton* all_view_ = nullptr;
  wxRadioButton* menu_view_ = nullptr;
  wxRadioButton* view_pages_ = nullptr;
  wxRadioButton* direct_links_ = nullptr;
  wxCheckBox* after_download_ = nullptr;
  wxCheckBox* thumbnails_ = nullptr;
  wxTextCtrl* thumb_folder_ = nullptr;
  wxTextCtrl* width_ = nullptr;
  wxTextCtrl* columns_ = nullptr;
  wxTextCtrl* file_count_ = nullptr;
  wxWindow* folder_album_ = nullptr;
};

// Shows the dialog; true when its keys were saved. The caller rereads the
// settings afterwards.
bool ShowAlbumSettingsDialog(wxWindow* parent, platform::Profile& profile);

}  // namespace marovine
