#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "marovine/document/settings_pages_proxy.h"
#include "platform/profile.h"

class wxCheckBox;
class wxListBox;
class wxRadioButton;
class wxTextCtrl;

namespace marovine {

// "Proxy設定": how transfers choose their proxy, what happens after a proxy
// failed, and the list "proxy.txt". OK writes the list and the keys; Cancel
// writes nothing; "エディタで編集" opens the list in the desktop's editor
// and closes the dialog without writing, so the file the editor has open is
// not overwritten.
class ProxyDialog : public wxDialog {
 public:
  ProxyDialog(wxWindow* parent, const std::string& program_folder, platform::Profile& profile);

  wxListBox* list() const { return list_; }
  wxTextCtrl* entry_edit() const { return entry_; }
  wxTextCtrl* default_proxy_edit() const { return default_proxy_; }
  wxRadioButton* choice(ProxyDialogModel::Group group, int button) const;
  wxWindow* add_button() const { return add_; }
  wxWindow* remove_button() const { return remove_; }
  wxCheckBox* no_cache_box() const { return no_cache_; }

  bool written() const { return written_; }
  // Double click on an entry: it becomes the fixed proxy.
  void UseEntry(int index);

 private:
  void AddGroup(wxSizer* column, const char* title, ProxyDialogModel::Group group);
  void OnAdd();
  void OnRemove();
  void OnEditInEditor();
  void OnOk();
  void ShowList();

  platform::Profile& profile_;
  ProxyDialogModel model_;
  std::vector<std::vector<wxRadioButton*>> groups_;
  wxListBox* list_ = nullptr;
  wxTextCtrl* entry_ = nullptr;
  wxTextCtrl* default_proxy_ = nullptr;
  wxCheckBox* no_cache_ = nullptr;
  wxWindow* add_ = nullptr;
  wxWindow* remove_ = nullptr;
  bool written_ = false;
};

// Shows the dialog; true when OK wrote the settings. The caller rereads the
// proxy settings afterwards (EnableCash among them) whichever way it closed.
bool ShowProxyDialog(wxWindow* parent, const std::string& program_folder,
                     platform::Profile& profile);

}  // namespace marovine
