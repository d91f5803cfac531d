#include "marovine/document/file_association.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "data/desktop_files.inc"
#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/profile.h"

extern char** environ;

namespace marovine {
namespace {

std::string EnvironmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  // As the XDG base directory rules say: empty or relative values are ignored.
  if (value && value[0] == '/') return value;
  return fallback;
}

// Quotes an Exec argument: inside double quotes, '"', '`', '$' and '\' take a
// backslash. The entry's own escape rule then doubles every backslash.
std::string QuotedExecArgument(const std::string& argument) {
  bool plain = !argument.empty();
  for (char c : argument) {
    if (std::string_view(" \t\n\"'\\><~|&;$*?#()`=%").find(c) != std::string_view::npos)
      plain = false;
  }
  if (plain) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') {
      quoted += "%%";
      continue;
    }
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (char c : quoted) {
    escaped += c;
    if (c == '\\') escaped += '\\';
  }
  return escaped;
}

bool WriteFile(const std::string& path, std::string_view bytes, FileAssociationResult* result) {
  if (platform::MakeFoldersForFile(path) && platform::WriteFileAtomically(path, bytes)) return true;
  result->failure = path;
  return false;
}

// Runs a desktop tool without a shell and waits for it; false when it is not
// installed or failed.
bool RunTool(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) {
    return false;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

FileAssociation UserFileAssociation(const std::string& executable) {
  const std::string home = EnvironmentOr("HOME", "/");
  FileAssociation association;
  association.data_home = EnvironmentOr("XDG_DATA_HOME", platform::JoinPath(home, ".local/share"));
  association.config_home = EnvironmentOr("XDG_CONFIG_HOME", platform::JoinPath(home, ".config"));
  association.executable = executable;
  return association;
}

std::string DesktopEntryFor(const std::string& executable) {
  std::string entry = kDesktopEntry;
  const std::string exec_line = "\nExec=marovine %f\n";
  const auto at = entry.find(exec_line);
  if (at != std::string::npos && !executable.empty()) {
    entry.replace(at, exec_line.size(), "\nExec=" + QuotedExecArgument(executable) + " %f\n");
  }
  return entry;
}

FileAssociationResult RegisterMrvFileType(const FileAssociation& association) {
  FileAssociationResult result;
  const std::string mime_folder = platform::JoinPath(association.data_home, "mime");
  const std::string applications = platform::JoinPath(association.data_home, "applications");
  if (!WriteFile(platform::JoinPath(mime_folder, "packages/marovine-document.xml"), kMimeTypeXml,
                 &result) ||
      !WriteFile(platform::JoinPath(applications, "marovine.desktop"),
                 DesktopEntryFor(association.executable), &result)) {
    return result;
  }
  for (const auto& [size, png] : association.icon_pngs) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    if (!WriteFile(platform::JoinPath(association.data_home,
                                      "icons/hicolor/" + folder + "/apps/marovine.png"),
                   png, &result)) {
      return result;
    }
  }
  // The default application, as xdg-mime would record it; the list's other
  // entries stay.
  platform::Profile defaults(platform::JoinPath(association.config_home, "mimeapps.list"));
  if (!platform::MakeFoldersForFile(defaults.path()) ||
      !defaults.WriteString("Default Applications", kMrvMimeType, "marovine.desktop")) {
    result.failure = defaults.path();
    return result;
  }
  if (RunTool({"update-mime-database", mime_folder}))
    result.ran.emplace_back("update-mime-database");
  if (RunTool({"update-desktop-database", applications})) {
    result.ran.emplace_back("update-desktop-database");
  }
  result.ok = true;
  return result;
}

}  // namespace marovine
