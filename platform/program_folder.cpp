#include "platform/program_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/file_io.h"
#include "platform/path.h"

namespace platform {
namespace {

std::string HomeFolder() {
  std::string home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
    home = pw->pw_dir;
  } else {
    home = "/tmp";
  }
  while (home.size() > 1 && home.back() == kPathSeparator) home.pop_back();
  return home;
}

std::string MakeAbsolute(const std::string& folder) {
  if (!folder.empty() && folder.front() == kPathSeparator) return folder;
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return folder;
  return JoinPath(cwd, folder);
}

// Reads XDG_DESKTOP_DIR="$HOME/Desktop" from user-dirs.dirs.
std::optional<std::string> XdgDesktopFromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string config_home = (config && *config) ? config : JoinPath(home, ".config");
  auto content = ReadWholeFile(JoinPath(config_home, "user-dirs.dirs"));
  if (!content) return std::nullopt;
  std::string_view text = *content;
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    if (line.substr(0, kKey.size()) != kKey) continue;
    line.remove_prefix(kKey.size());
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
      line = line.substr(1, line.size() - 2);
    }
    std::string value(line);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (value.empty() || value.front() != kPathSeparator) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

}  // namespace

std::string ExecutableFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return FolderOf(std::string(buffer, static_cast<std::size_t>(n)));
}

std::string ResolveProgramFolder(const std::optional<std::string>& home_argument,
                                 const std::string& executable_folder) {
  if (home_argument && !home_argument->empty()) {
    return WithTrailingSeparator(MakeAbsolute(*home_argument));
  }
  if (const char* env = std::getenv("MAROVINE_HOME"); env && *env) {
    return WithTrailingSeparator(MakeAbsolute(env));
  }
  if (!executable_folder.empty() && FileExists(JoinPath(executable_folder, "marovine.ini"))) {
    return WithTrailingSeparator(executable_folder);
  }
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string config_home = (config && *config && config[0] == kPathSeparator)
                                ? config
                                : JoinPath(HomeFolder(), ".config");
  return WithTrailingSeparator(JoinPath(config_home, "marovine"));
}

std::string DesktopFolder() {
  std::string home = HomeFolder();
  if (auto desktop = XdgDesktopFromUserDirs(home)) return WithTrailingSeparator(*desktop);
  return WithTrailingSeparator(JoinPath(home, "Desktop"));
}

std::string DefaultStorageFolder() { return JoinPath(DesktopFolder(), "marovine_folder/"); }

}  // namespace platform
