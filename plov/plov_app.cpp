#include <wx/app.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "plov/core/plov_main.h"
#include "plov/core/scripted_dialogs.h"
#include "plov/linux/xdg_install_host.h"
#include "plov/wx_dialogs.h"

namespace {

std::string command_line;

// The role decides everything; the command line is read as one text, as the
// installer compares it whole.
std::string CommandLineOf(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) line += std::string(i > 1 ? " " : "") + argv[i];
  return line;
}

class PlovApp : public wxApp {
 public:
  bool OnInit() override { return true; }  // wx's own parser would refuse "/r"
  int OnRun() override {
    plov::WxDialogs dialogs;
    plov::xdg::XdgInstallHost host(plov::xdg::XdgFolders::FromEnvironment(),
                                   plov::xdg::RunningExecutable(), dialogs);
    return plov::RunPlov(host, command_line);
  }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(PlovApp);

int main(int argc, char** argv) {
  command_line = CommandLineOf(argc, argv);
  if (const char* answers = std::getenv(plov::kTestAnswersVariable)) {
    plov::ScriptedDialogs dialogs(answers, std::cout);
    plov::xdg::XdgInstallHost host(plov::xdg::XdgFolders::FromEnvironment(),
                                   plov::xdg::RunningExecutable(), dialogs);
    host.set_test_mode(true);
    return plov::RunPlov(host, command_line);
  }
  return wxEntry(argc, argv);
}
