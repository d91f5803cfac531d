#include "plov/core/command_line.h"

namespace plov {

PlovRole RoleOf(std::string_view command_line) {
  if (command_line.size() == 2 && command_line[0] == '/' &&
      (command_line[1] == 'r' || command_line[1] == 'R')) {
    return PlovRole::kUninstallStart;
  }
  if (command_line == "/d") return PlovRole::kCleanUp;
  if (command_line == "/u") return PlovRole::kUninstallProper;
  return PlovRole::kInstall;
}

}  // namespace plov
