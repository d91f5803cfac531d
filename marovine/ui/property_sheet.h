#pragma once

#include <wx/dialog.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "marovine/document/settings_pages.h"
#include "platform/profile.h"

class wxBookCtrlBase;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace marovine {

// What the default property sheet needs from the window that opens it.
struct PropertySheetContext {
  std::string settings_path;   // marovine.ini
  std::string storage_folder;  // the folder defaults hang under
  // Plays a sound file at once (the sound page's test play); may be empty.
  std::function<void(const std::string& wave_file)> play_sound;
  // Tells the user why an entry was refused; empty means a message box.
  std::function<void(const std::string& message)> show_message;
  // Called once the sheet has closed, whichever button closed it: the
  // document rereads its settings here.
  std::function<void()> reload_settings;
};

// "標準のプロパティー": the nine option pages in one tabbed dialog. The
// pages read their keys when it opens; OK checks every edit and writes every
// key in one rewrite of the settings file; Cancel and the window's close
// button write nothing.
class PropertySheetDialog : public wxDialog {
 public:
  PropertySheetDialog(wxWindow* parent, PropertySheetContext context);

  wxBookCtrlBase* book() const { return book_; }
  // The control showing a key (the first radio button of a choice).
  wxWindow* ControlFor(const std::string& section, const std::string& name) const;
  wxWindow* ButtonFor(const std::string& section, const std::string& name) const;
  // The group controls of the "まろびねDownLoad" page.
  wxWindow* GroupStepButton(int delta) const { return delta < 0 ? group_back_ : group_next_; }
  wxWindow* LogDetailButton() const { return log_detail_button_; }

  bool written() const { return written_; }

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  struct Shown {
    const SheetKey* key = nullptr;
    int page = 0;
    wxWindow* control = nullptr;
    std::vector<wxRadioButton*> radios;
    wxWindow* button = nullptr;  // "参照", "...", the arrows' partner
  };

  void BuildPage(int index, const SheetPage& page);
  void AddKey(wxWindow* panel, wxSizer* column, wxSizer*& row, int page, const SheetKey& key);
  void AddGroupRow(wxWindow* panel, wxSizer* column);
  void AddButtons(wxSizer* column);
  void SizePages();

  Shown* Find(const std::string& section, const std::string& name);
  const Shown* Find(const std::string& section, const std::string& name) const;
  std::string EditText(const std::string& section, const std::string& name) const;
  void SetEditText(const std::string& section, const std::string& name, const std::string& text);
  bool CheckValue(const std::string& section, const std::string& name) const;
  bool TakeNumber(const Shown& shown);

  void OnStepDownloads(int delta);
  void OnStepGroup(int delta);
  void OnFolderOption(const std::string& name, bool on);
  void OnSoundCheck(int event);
  void OnLogDetail();
  void OnOk();
  void ShowGroup();
  void UpdateRandomNumberBox();

  PropertySheetContext context_;
  platform::Profile profile_;
  SettingsSheetModel model_;
  wxBookCtrlBase* book_ = nullptr;
  std::vector<wxWindow*> panels_;
  std::vector<Shown> shown_;
  wxTextCtrl* group_number_ = nullptr;
  wxTextCtrl* group_name_ = nullptr;
  wxWindow* group_back_ = nullptr;
  wxWindow* group_next_ = nullptr;
  wxWindow* log_detail_button_ = nullptr;
  bool written_ = false;
};

// Shows the sheet modally, then calls the context's reload_settings; true
// when OK wrote the settings.
bool ShowDefaultPropertySheet(wxWindow* parent, const PropertySheetContext& context);

}  // namespace marovine
