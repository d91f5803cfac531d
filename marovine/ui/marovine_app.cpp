#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "marovine/document/first_start_settings.h"
#include "marovine/document/marovine_doc.h"
#include "marovine/document/settings_keys.h"
#include "marovine/ui/frame_crawl_hooks.h"
#include "marovine/ui/main_frame.h"
#include "marovine/ui/start_up.h"
#include "marovine/ui/wx_ui_services.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "platform/program_folder_lock.h"

namespace marovine::ui {
namespace {

bool AssociationWanted(const std::string& program_folder) {
  platform::Profile profile(platform::JoinPath(program_folder, "marovine.ini"));
  return profile.GetInt("Ippan", "Kanrenduke", 0) != 0;
}

// Makes this program the user's opener of ".mrv" documents, whose type the
// installation registers with the desktop. Started without a shell, not
// waited for: a desktop without xdg-mime simply keeps its choice.
void AssociateDocumentsWithProgram() {
  const wchar_t* argv[] = {L"xdg-mime", L"default", L"marovine.desktop",
                           L"application/x-marovine-document", nullptr};
  wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE);
}

class MarovineApp : public wxApp {
 public:
  // The command line is ours to read; wx's own parser would refuse --home.
  bool OnInit() override {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(wxString(argv[i]).utf8_str());
    StartUpArguments start = ParseStartUpArguments(args);
    if (!start.error.empty()) {
      std::fprintf(stderr, "marovine: %s\nusage: marovine [--home DIR] [--tick-ms N] [FILE.mrv]\n",
                   start.error.c_str());
      return false;
    }

    std::string program_folder = platform::ResolveProgramFolder(start.home);
    (void)platform::MakeFolders(program_folder);
    lock_ = std::make_unique<platform::ProgramFolderLock>(program_folder);
    if (lock_->state() == platform::ProgramFolderLock::State::kInUse) {
      wxMessageBox(wxString::FromUTF8(lock_->InUseMessage()), wxString::FromUTF8(kMessageCaption),
                   wxOK | wxICON_EXCLAMATION);
      return false;
    }
    if (lock_->state() == platform::ProgramFolderLock::State::kHeld) {
      (void)WriteFirstStartSettings(platform::JoinPath(program_folder, "marovine.ini"),
                                    platform::DefaultStorageFolder());
    }

    if (AssociationWanted(program_folder)) AssociateDocumentsWithProgram();

    doc_ = std::make_unique<CMarovineDoc>(program_folder, platform::DefaultStorageFolder());
    doc_->crawl().SetTickPeriod(std::chrono::milliseconds(start.tick_ms));
    doc_->document_path = doc_->paths.default_document_path;
    std::optional<std::string> document = DocumentToOpenAtStart(
        start.rest, ReadDocumentAtStartUp(doc_->profile), doc_->paths.default_document_path,
        platform::FileExists(doc_->paths.default_document_path));

    auto* frame = new CMainFrame(*doc_);
    SetTopWindow(frame);
    frame->crawl_hooks().PlayEventSound(EVENT_PROGRAM_START);
    // The rows fill the views as the document is read.
    if (document && !frame->OpenDocument(*document)) {
      // A document named but not there yet is where this one will be saved.
      doc_->document_path = *document;
      frame->SetTitle(wxString::FromUTF8(FrameCaption(*document)));
    }
    frame->ShowAndRun();
    return true;
  }

  int OnExit() override {
    // Stops and joins the transfers; the window is gone already.
    doc_.reset();
    lock_.reset();
    return wxApp::OnExit();
  }

 private:
  std::unique_ptr<platform::ProgramFolderLock> lock_;
  std::unique_ptr<CMarovineDoc> doc_;
};

}  // namespace
}  // namespace marovine::ui

wxIMPLEMENT_APP(marovine::ui::MarovineApp);
