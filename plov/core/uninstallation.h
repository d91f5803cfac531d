#pragma once

#include <string>

#include "plov/core/install_host.h"

namespace plov {

inline constexpr char kUninstallScriptName[] = "$$UnPlov.inf";
inline constexpr char kUninstallerName[] = "$$UnPlov.exe";

// First stage ("/r"): copies the script and the executable into the system
// folder, removes the uninstall registration and starts the copy with "/u".
int RunUninstallStart(InstallHost& host);

// Second stage ("/u"): removes shortcuts, files, the folder and registry
// keys, then its own script, and has its executable deleted at restart.
int RunUninstallProper(InstallHost& host);

// Deletes a key with all its sub-keys. Answers 0, or 2231 when the key (or
// one below it) cannot be opened, 2232 when one cannot be deleted.
int DeleteKeyTree(InstallHost& host, RegistryRoot root, const std::string& key);

}  // namespace plov
