#pragma once

#include <string>

#include "plov/core/install_host.h"

namespace plov {

// The installation role: reads the script beside the executable, asks the
// user, makes shortcuts, copies files, writes the registry and starts the
// installed copy for its clean-up. Answers the exit code.
int RunInstallation(InstallHost& host);

// The clean-up role ("/d") of the installed copy.
int RunCleanUp(InstallHost& host);

// The message number that refuses a typed installation folder, or 0.
int InstallFolderProblem(const std::string& folder, const PathStyle& style);

// True for a folder on the network (two leading separators).
bool IsNetworkFolder(const std::string& folder, const PathStyle& style);

// The command the uninstall registration starts: the path, quoted when it
// holds a blank, and " /r".
std::string UninstallCommand(const std::string& uninstaller);

inline constexpr char kCleanUpFileName[] = "$$Plov.ini";

}  // namespace plov
