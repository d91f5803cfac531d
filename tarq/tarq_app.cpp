#include <wx/app.h>
#include <wx/msgdlg.h>

#include <optional>
#include <string>

#include "platform/program_folder.h"
#include "tarq/drop_tool_actions.h"
#include "tarq/drop_tool_dialog.h"
#include "tarq/drop_tool_texts.h"

namespace marovine::tarq {
namespace {

// A main program started with --home should pass it on, so that both agree on
// "banner.dat".
std::optional<std::string> HomeArgument(int argc, wxChar** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (wxString(argv[i]) == "--home") return std::string(wxString(argv[i + 1]).utf8_str());
  }
  return std::nullopt;
}

class TarqApp : public wxApp {
 public:
  // The command line is ours to read; wx's own parser would refuse --home.
  bool OnInit() override { return true; }

  int OnRun() override {
    std::string own_folder = platform::ExecutableFolder();
    if (!MainProgramIsBeside(own_folder)) {
      wxMessageBox(wxString::FromUTF8(texts::kNotBesideMainProgram),
                   wxString::FromUTF8(texts::kMessageCaption), wxOK | wxICON_EXCLAMATION);
      return 1;
    }
    std::string program_folder =
        platform::ResolveProgramFolder(HomeArgument(argc, argv), own_folder);
    auto* dialog = new DropToolDialog(BannerListPath(program_folder));
    dialog->ShowModal();
    dialog->Destroy();
    return 0;
  }
};

}  // namespace
}  // namespace marovine::tarq

wxIMPLEMENT_APP(marovine::tarq::TarqApp);
