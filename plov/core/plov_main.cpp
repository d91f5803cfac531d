#include "plov/core/plov_main.h"

#include "plov/core/command_line.h"
#include "plov/core/installation.h"
#include "plov/core/uninstallation.h"

namespace plov {

int RunPlov(InstallHost& host, std::string_view command_line) {
  switch (RoleOf(command_line)) {
    case PlovRole::kUninstallStart:
      return RunUninstallStart(host);
    case PlovRole::kCleanUp:
      return RunCleanUp(host);
    case PlovRole::kUninstallProper:
      return RunUninstallProper(host);
    case PlovRole::kInstall:
      break;
  }
  return RunInstallation(host);
}

}  // namespace plov
