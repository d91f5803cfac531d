#include "marovine/ui/property_choosers.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/utils.h>

#include "marovine/ui/property_text.h"
#include "platform/path.h"

namespace marovine {

std::optional<std::string> ChooseFolder(wxWindow* parent, const std::string& current) {
  wxDirDialog dialog(parent, wxString::FromUTF8("フォルダの選択"), ToWx(current),
                     wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return platform::WithTrailingSeparator(FromWx(dialog.GetPath()));
}

std::optional<std::string> ChooseSoundFile(wxWindow* parent, const std::string& current) {
  wxFileDialog dialog(parent, wxString::FromUTF8("サウンドファイルの選択"),
                      ToWx(platform::FolderOf(current)), ToWx(platform::NameOf(current)),
                      wxString::FromUTF8("サウンド (*.wav)|*.wav;*.WAV|すべてのファイル (*)|*"),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return FromWx(dialog.GetPath());
}

bool OpenWithDesktop(const std::string& target) {
  if (target.empty()) return false;
  const wxString xdg_open = "xdg-open";
  const wxString path = ToWx(target);
  const wchar_t* argv[] = {xdg_open.wc_str(), path.wc_str(), nullptr};
  return wxExecute(argv, wxEXEC_ASYNC) > 0;
}

}  // namespace marovine
