#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "plov/core/install_host.h"

namespace plov {

// Buffer sizes of the script's values; a value keeps at most one byte less.
inline constexpr std::size_t kShortText = 127;
inline constexpr std::size_t kLongText = 255;
inline constexpr int kMaxItems = 99;

// Where the running installer lies and which script belongs to it: the
// executable's own base name with the extension "inf", beside it.
struct OwnPaths {
  std::string path;         // full path of the executable
  std::string folder;       // with the trailing separator
  std::string folder_bare;  // without it
  std::string file_name;    // "setup.exe"
  std::string script;       // folder + base name + ".inf"
};
OwnPaths OwnPathsOf(const std::string& executable, char separator);

// Item1, Item2, ... of a section, up to the first missing or empty item or
// Item99.
std::vector<std::string> ReadItems(const platform::Profile& script, std::string_view section);

struct ShortcutItem {
  std::string name;  // also the shortcut's description
  std::string target;
  std::string arguments;
};

// "name, target[, arguments]". Nothing when the item has no comma, or when
// its name could not be a file name in the shortcut folder.
std::optional<ShortcutItem> ParseShortcutItem(std::string_view item);

struct RegistryPath {
  RegistryRoot root = RegistryRoot::kCurrentUser;
  std::string key;
};

// "HKEY_CURRENT_USER\key\path" or "HKEY_LOCAL_MACHINE\...". Nothing for any
// other root, a text without a backslash, or an empty key path.
std::optional<RegistryPath> ParseRegistryPath(std::string_view text);

// A relative file item stays inside the folder it is joined to: not empty,
// not absolute, no "." or ".." part.
bool IsContainedRelativePath(std::string_view item);

// The three shortcut sections in the order they are handled.
struct ShortcutSection {
  const char* section;
  ShellFolder folder;
};
inline constexpr ShortcutSection kShortcutSections[] = {
    {"Group", ShellFolder::kPrograms},
    {"Startup", ShellFolder::kStartup},
    {"Desktop", ShellFolder::kDesktop},
};

inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace plov
