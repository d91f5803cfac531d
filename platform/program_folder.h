#pragma once

#include <optional>
#include <string>

namespace platform {

// The folder of the running executable, with a trailing separator.
std::string ExecutableFolder();

// The program folder holds "marovine.ini", "log.dat", "log2.dat", "banner.dat",
// "proxy.txt", "default.mrv" and "Log/". It is, in this order:
//  1. the folder given on the command line (--home),
//  2. the folder in the environment variable MAROVINE_HOME,
//  3. the executable's folder when a "marovine.ini" lies beside it (a portable
//     install),
//  4. $XDG_CONFIG_HOME/marovine/ (default ~/.config/marovine/).
// The answer ends with a separator. The folder is not created here.
std::string ResolveProgramFolder(const std::optional<std::string>& home_argument,
                                 const std::string& executable_folder = ExecutableFolder());

// The user's desktop folder (XDG_DESKTOP_DIR from user-dirs.dirs, else
// ~/Desktop), with a trailing separator.
std::string DesktopFolder();

// Where downloads go unless the user chose otherwise: the desktop folder +
// "marovine_folder/".
std::string DefaultStorageFolder();

}  // namespace platform
