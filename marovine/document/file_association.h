#pragma once

#include <string>
#include <utility>
#include <vector>

namespace marovine {

// Registers ".mrv" documents with the user's desktop: the MIME type, a desktop
// entry that starts this program with the file, the program's icon, and this
// program as the type's default application. Everything goes into the user's
// own folders; nothing needs administrator rights. This is what the
// file-association setting ("Kanrenduke") does at start-up.
struct FileAssociation {
  std::string data_home;    // $XDG_DATA_HOME, or ~/.local/share
  std::string config_home;  // $XDG_CONFIG_HOME, or ~/.config (mimeapps.list)
  std::string executable;   // the program the desktop entry starts
  // The program's icon as PNG files, by size in pixels (16, 32, 48, 256).
  std::vector<std::pair<int, std::string>> icon_pngs;
};

// The user's folders from the environment (XDG variables, else HOME).
FileAssociation UserFileAssociation(const std::string& executable);

struct FileAssociationResult {
  bool ok = false;
  std::string failure;           // the file that could not be written
  std::vector<std::string> ran;  // the desktop tools that were run
};

// Writes the files (each atomically; files of other programs are kept) and
// runs update-mime-database and update-desktop-database on the user's
// folders when they are installed. Registering again rewrites the same files.
FileAssociationResult RegisterMrvFileType(const FileAssociation& association);

// The desktop entry for a program at `executable`, its Exec line quoted as
// the desktop entry format wants.
std::string DesktopEntryFor(const std::string& executable);

inline constexpr char kMrvMimeType[] = "application/x-marovine-document";

}  // namespace marovine
