#include "plov/linux/xdg_install_host.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/file_io.h"
#include "platform/path.h"
#include "platform/program_folder.h"
#include "platform/unique_handle.h"
#include "plov/linux/desktop_entry.h"

extern char** environ;

namespace plov::xdg {
namespace {

std::string Environment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A name usable in a menu category and in file names: ASCII letters and
// digits kept, every other byte written as two hex digits.
std::string MenuId(const std::string& group) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string id;
  for (unsigned char c : group) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      id += static_cast<char>(c);
    } else {
      id += kHex[c >> 4];
      id += kHex[c & 15];
    }
  }
  return id;
}

// Programs and scripts are started themselves; documents through xdg-open.
bool IsDocument(const std::string& target) {
  std::string name = platform::NameOf(target);
  auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return false;
  std::string extension = name.substr(dot + 1);
  return extension != "sh" && extension != "AppImage" && extension != "py";
}

}  // namespace

XdgFolders XdgFolders::FromEnvironment() {
  XdgFolders folders;
  folders.home = WithoutTrailingSlash(Environment("HOME", "/"));
  folders.data_home =
      WithoutTrailingSlash(Environment("XDG_DATA_HOME", folders.home + "/.local/share"));
  folders.config_home =
      WithoutTrailingSlash(Environment("XDG_CONFIG_HOME", folders.home + "/.config"));
  folders.desktop = WithoutTrailingSlash(platform::DesktopFolder());
  folders.temp =
      WithoutTrailingSlash(Environment("XDG_RUNTIME_DIR", Environment("TMPDIR", "/tmp")));
  return folders;
}

std::string RunningExecutable() {
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

XdgInstallHost::XdgInstallHost(XdgFolders folders, std::string own_path, UserDialogs& dialogs)
    : folders_(std::move(folders)),
      own_path_(std::move(own_path)),
      dialogs_(dialogs),
      keys_(folders_.PlovData() + "/registry.ini") {
  // The key the uninstall registrations live under is always there, as it is
  // on the system the scripts were written for.
  keys_.CreateKey(StoreKey(RegistryRoot::kLocalMachine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

PathStyle XdgInstallHost::Paths() const {
  // Characters that would break the quoting of the uninstall command or the
  // menu entries are kept out of installation folders.
  return {'/', "\\,;\"<>|`$", 0, ".desktop"};
}

std::optional<std::string> XdgInstallHost::SystemFolder() const {
  if (!platform::MakeFolders(folders_.PlovData())) return std::nullopt;
  return folders_.PlovData();
}

std::optional<std::string> XdgInstallHost::ProgramFilesFolder() const {
  if (!platform::MakeFolders(folders_.ProgramFiles())) return std::nullopt;
  return folders_.ProgramFiles();
}

std::optional<std::string> XdgInstallHost::SpecialFolder(ShellFolder folder) const {
  std::string path;
  switch (folder) {
    case ShellFolder::kPrograms:
      path = folders_.Applications();
      break;
    case ShellFolder::kStartup:
      path = folders_.Autostart();
      break;
    case ShellFolder::kDesktop:
      path = folders_.desktop;
      break;
  }
  if (path.empty() || !platform::MakeFolders(path)) return std::nullopt;
  return path;
}

std::optional<std::string> XdgInstallHost::GroupOf(const std::string& folder) const {
  std::string parent = WithoutTrailingSlash(platform::FolderOf(folder));
  if (parent != folders_.Applications()) return std::nullopt;
  return platform::NameOf(folder);
}

std::string XdgInstallHost::MenuFile(const std::string& group) const {
  return folders_.MenuMerges() + "/plov-" + MenuId(group) + ".menu";
}

std::string XdgInstallHost::DirectoryFile(const std::string& group) const {
  return folders_.MenuDirectories() + "/plov-" + MenuId(group) + ".directory";
}

bool XdgInstallHost::WriteGroupMenu(const std::string& group) {
  std::string id = MenuId(group);
  std::string menu =
      "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
      "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>plov-" +
      id + "</Name>\n    <Directory>plov-" + id +
      ".directory</Directory>\n    <Include><Category>X-Plov-" + id +
      "</Category></Include>\n  </Menu>\n</Menu>\n";
  std::string directory =
      "[Desktop Entry]\nType=Directory\nVersion=1.0\nName=" + EscapeEntryValue(group) + "\n";
  return platform::WriteFileAtomically(MenuFile(group), menu) &&
         platform::WriteFileAtomically(DirectoryFile(group), directory);
}

bool XdgInstallHost::CreateShortcut(const std::string& folder, const std::string& name,
                                    const std::string& target, const std::string& arguments) {
  DesktopEntry entry;
  entry.name = name;
  if (IsDocument(target)) entry.exec = {"xdg-open"};
  entry.exec.push_back(target);
  for (auto& argument : SplitArguments(arguments)) entry.exec.push_back(std::move(argument));
  auto group = GroupOf(folder);
  if (group) {
    if (!WriteGroupMenu(*group)) return false;
    entry.categories = "X-Plov-" + MenuId(*group) + ";";
  }
  std::string path = folder + "/" + name + ".desktop";
  if (!platform::WriteFileAtomically(path, DesktopEntryText(entry))) return false;
  // Desktops start only entries that are marked executable.
  if (WithoutTrailingSlash(folder) == folders_.desktop) ::chmod(path.c_str(), 0755);
  return true;
}

bool XdgInstallHost::DeleteShortcut(const std::string& folder, const std::string& name) {
  return ::unlink((folder + "/" + name + ".desktop").c_str()) == 0;
}

bool XdgInstallHost::CreateFolder(const std::string& path) {
  ::mkdir(path.c_str(), 0755);
  return platform::IsFolder(path);
}

bool XdgInstallHost::RemoveFolder(const std::string& path) {
  if (::rmdir(path.c_str()) != 0) return false;
  if (auto group = GroupOf(WithoutTrailingSlash(path))) {
    // The menu entries of a removed folder only show an empty group if left.
    (void)platform::RemoveFile(MenuFile(*group));
    (void)platform::RemoveFile(DirectoryFile(*group));
  }
  return true;
}

bool XdgInstallHost::CopyFile(const std::string& from, const std::string& to) {
  struct stat source {};
  if (::stat(from.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) return false;
  auto bytes = platform::ReadWholeFile(from);
  // Items in sub-folders get their folders; a running program that is
  // replaced keeps running from its old file.
  if (!bytes || !platform::WriteFileAtomically(to, *bytes)) return false;
  return ::chmod(to.c_str(), source.st_mode & 07777) == 0;
}

bool XdgInstallHost::DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool XdgInstallHost::ClearReadOnly(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 &&
         (S_ISLNK(st.st_mode) || ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0);
}

std::vector<FolderEntry> XdgInstallHost::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  platform::UniqueDir dir(::opendir(path.c_str()));
  if (!dir) return entries;
  while (dirent* entry = ::readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    // A link is removed as a link; the folder it points to is not ours.
    if (::lstat((path + "/" + name).c_str(), &st) != 0) continue;
    entries.push_back({name, S_ISDIR(st.st_mode), (st.st_mode & S_IWUSR) == 0});
  }
  return entries;
}

bool XdgInstallHost::SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::optional<std::string> XdgInstallHost::ReadFile(const std::string& path, std::size_t limit) {
  platform::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string bytes(limit, '\0');
  std::size_t read = std::fread(bytes.data(), 1, limit, file.get());
  bool failed = std::ferror(file.get()) != 0;
  file.reset();
  if (failed) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

bool XdgInstallHost::WriteFile(const std::string& path, std::string_view bytes) {
  return platform::WriteFileAtomically(path, bytes);
}

bool XdgInstallHost::DeleteAtRestart(const std::string& path) {
  std::string entry_path = folders_.Autostart() + "/plov-remove-" +
                           std::to_string(std::hash<std::string>{}(path)) + ".desktop";
  DesktopEntry entry;
  entry.name = "plov clean-up";
  entry.comment = "Removes " + path + " once";
  entry.exec = {"rm", "-f", "--", path, entry_path};
  entry.no_display = true;
  return platform::WriteFileAtomically(entry_path, DesktopEntryText(entry));
}

std::string XdgInstallHost::StoreKey(RegistryRoot root, const std::string& key) {
  return (root == RegistryRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") +
         key;
}

bool XdgInstallHost::CreateKey(RegistryRoot root, const std::string& key) {
  return keys_.CreateKey(StoreKey(root, key));
}

bool XdgInstallHost::KeyExists(RegistryRoot root, const std::string& key) {
  return keys_.KeyExists(StoreKey(root, key));
}

std::optional<std::string> XdgInstallHost::ReadValue(RegistryRoot root, const std::string& key,
                                                     const std::string& name) {
  return keys_.ReadValue(StoreKey(root, key), name);
}

bool XdgInstallHost::WriteValue(RegistryRoot root, const std::string& key, const std::string& name,
                                const std::string& value) {
  return keys_.WriteValue(StoreKey(root, key), name, value);
}

std::optional<std::string> XdgInstallHost::SubKeyAt(RegistryRoot root, const std::string& key,
                                                    std::uint32_t index) {
  auto children = keys_.SubKeys(StoreKey(root, key));
  if (index >= children.size()) return std::nullopt;
  return children[index];
}

bool XdgInstallHost::DeleteKey(RegistryRoot root, const std::string& key) {
  return keys_.DeleteKey(StoreKey(root, key));
}

int XdgInstallHost::Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  pid_t pid = -1;
  int error = ::posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ);
  if (error == ENOENT) return 2;  // the shell's "file not found"
  if (error == EACCES) return 5;  // "access denied"
  if (error != 0) return 31;      // "no application associated"
  if (test_mode_) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  return 42;
}

int XdgInstallHost::OpenWithShell(const std::string& path, const std::string& arguments) {
  if (::access(path.c_str(), F_OK) != 0) return 2;
  std::vector<std::string> argv;
  if (::access(path.c_str(), X_OK) != 0 || platform::IsFolder(path)) {
    argv = {"xdg-open", path};
  } else {
    argv = {path};
    for (auto& argument : SplitArguments(arguments)) argv.push_back(std::move(argument));
  }
  return Spawn(argv);
}

void XdgInstallHost::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool XdgInstallHost::RestartSystem() {
  if (test_mode_) {
    std::printf("restart (test mode: not done)\n");
    std::fflush(stdout);
    return true;
  }
  return Spawn({"systemctl", "reboot"}) > 32;
}

}  // namespace plov::xdg
