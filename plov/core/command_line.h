#pragma once

#include <string_view>

namespace plov {

enum class PlovRole {
  kInstall,          // anything else, including nothing
  kCleanUp,          // "/d", run by the installed copy after installation
  kUninstallStart,   // "/r" in any case, what the uninstall registration starts
  kUninstallProper,  // "/u", the copy in the system folder
};

// The role is chosen by the whole command line (the text after the program
// name); nothing else may stand on it.
PlovRole RoleOf(std::string_view command_line);

}  // namespace plov
