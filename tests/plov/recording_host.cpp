#include "tests/plov/recording_host.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/file_io.h"

namespace plov::testing {
namespace fs = std::filesystem;

namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}
}  // namespace

RecordingHost::RecordingHost(const marovine::testing::Sandbox& box) : box_(box) {
  for (const char* folder : {"package", "tmp", "windows", "pf", "programs", "startup", "desktop"}) {
    fs::create_directories(box_.Path(folder));
  }
  own_path_ = box_.Path("package/setup.exe");
  if (!fs::exists(own_path_)) PackageFile("setup.exe", "installer");
  registry[KeyName(RegistryRoot::kLocalMachine,
                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall")];
}

std::string RecordingHost::WriteScript(const std::string& text) {
  return PackageFile("setup.inf", text);
}

std::string RecordingHost::PackageFile(const std::string& name, const std::string& content) {
  return box_.WriteFile("package/" + name, content);
}

PathStyle RecordingHost::Paths() const { return {'/', "\\,;\"<>|", 0, ".lnk"}; }
std::string RecordingHost::TempFolder() const { return box_.Path("tmp"); }
std::optional<std::string> RecordingHost::SystemFolder() const { return box_.Path("windows"); }
std::optional<std::string> RecordingHost::ProgramFilesFolder() const {
  if (no_program_files) return std::nullopt;
  return box_.Path("pf");
}

std::optional<std::string> RecordingHost::SpecialFolder(ShellFolder folder) const {
  if (auto it = missing_folder.find(folder); it != missing_folder.end() && it->second) {
    return std::nullopt;
  }
  switch (folder) {
    case ShellFolder::kPrograms:
      return box_.Path("programs");
    case ShellFolder::kStartup:
      return box_.Path("startup");
    case ShellFolder::kDesktop:
      break;
  }
  return box_.Path("desktop");
}

bool RecordingHost::Ask(const MessageBoxRequest& question) {
  messages.push_back(question);
  bool yes = !answers.empty() && answers.front();
  if (!answers.empty()) answers.pop_front();
  return yes;
}

bool RecordingHost::ShowTextPage(const TextPageRequest& page) {
  page_shown = page.text;
  while (!page_next) {
    if (page.confirm_cancel()) return false;
    page_next = true;  // "No" keeps the page; the user goes on then
  }
  return true;
}

std::optional<OptionsChoice> RecordingHost::ShowOptions(const OptionsRequest& options) {
  options_shown = options;
  if (cancel_options && options.confirm_cancel()) return std::nullopt;
  if (options_answer) return options_answer;
  return OptionsChoice{options.group.checked, options.startup.checked, options.desktop.checked,
                       options.folder};
}

bool RecordingHost::CreateShortcut(const std::string& folder, const std::string& name,
                                   const std::string& target, const std::string& arguments) {
  if (fail_shortcuts || !fs::is_directory(folder)) return false;
  return platform::WriteFileAtomically(folder + "/" + name + ".lnk", target + "|" + arguments);
}

bool RecordingHost::DeleteShortcut(const std::string& folder, const std::string& name) {
  std::error_code error;
  return fs::remove(folder + "/" + name + ".lnk", error);
}

bool RecordingHost::CreateFolder(const std::string& path) {
  std::error_code error;
  fs::create_directory(path, error);
  return fs::is_directory(path);
}

bool RecordingHost::RemoveFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path) && fs::remove(path, error);
}

bool RecordingHost::CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  if (fail_copies) return false;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

bool RecordingHost::DeleteFile(const std::string& path) {
  std::error_code error;
  if (path == own_path_) return false;  // a running program cannot be deleted
  return fs::remove(path, error);
}

bool RecordingHost::ClearReadOnly(const std::string& path) {
  return ::chmod(path.c_str(), 0644) == 0;
}

std::vector<FolderEntry> RecordingHost::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(path, error)) {
    bool read_only = (entry.status().permissions() & fs::perms::owner_write) == fs::perms::none;
    entries.push_back({entry.path().filename().string(), entry.is_directory(), read_only});
  }
  return entries;
}

bool RecordingHost::SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

std::optional<std::string> RecordingHost::ReadFile(const std::string& path, std::size_t limit) {
  auto bytes = platform::ReadWholeFile(path);
  if (bytes && bytes->size() > limit) bytes->resize(limit);
  return bytes;
}

bool RecordingHost::WriteFile(const std::string& path, std::string_view bytes) {
  return platform::WriteFileAtomically(path, bytes);
}

bool RecordingHost::DeleteAtRestart(const std::string& path) {
  if (refuse_restart_deletion) return false;
  restart_deletions.push_back(path);
  return true;
}

std::string RecordingHost::KeyName(RegistryRoot root, const std::string& key) {
  return Lower((root == RegistryRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") + key);
}

std::string RecordingHost::Value(RegistryRoot root, const std::string& key,
                                 const std::string& name) const {
  auto it = registry.find(KeyName(root, key));
  if (it == registry.end()) return "(no key)";
  auto value = it->second.find(name);
  return value == it->second.end() ? "(no value)" : value->second;
}

bool RecordingHost::CreateKey(RegistryRoot root, const std::string& key) {
  // Every missing parent comes into being with the key, as in the registry.
  std::string name = KeyName(root, key);
  for (std::size_t at = name.find('\\', 5); at != std::string::npos; at = name.find('\\', at + 1)) {
    registry[name.substr(0, at)];
  }
  registry[name];
  return true;
}

bool RecordingHost::KeyExists(RegistryRoot root, const std::string& key) {
  return registry.count(KeyName(root, key)) > 0;
}

std::optional<std::string> RecordingHost::ReadValue(RegistryRoot root, const std::string& key,
                                                    const std::string& name) {
  std::string value = Value(root, key, name);
  if (value.front() == '(') return std::nullopt;
  return value;
}

bool RecordingHost::WriteValue(RegistryRoot root, const std::string& key, const std::string& name,
                               const std::string& value) {
  auto it = registry.find(KeyName(root, key));
  if (it == registry.end()) return false;
  it->second[name] = value;
  return true;
}

std::optional<std::string> RecordingHost::SubKeyAt(RegistryRoot root, const std::string& key,
                                                   std::uint32_t index) {
  std::string prefix = KeyName(root, key) + "\\";
  std::uint32_t seen = 0;
  for (const auto& [name, values] : registry) {
    if (name.rfind(prefix, 0) != 0 || name.find('\\', prefix.size()) != std::string::npos) {
      continue;
    }
    if (seen++ == index) return name.substr(prefix.size());
  }
  return std::nullopt;
}

bool RecordingHost::DeleteKey(RegistryRoot root, const std::string& key) {
  std::string name = KeyName(root, key);
  if (!registry.count(name) || SubKeyAt(root, key, 0)) return false;
  if (std::find(sticky_keys.begin(), sticky_keys.end(), name) == sticky_keys.end()) {
    registry.erase(name);
  }
  return true;
}

int RecordingHost::OpenWithShell(const std::string& path, const std::string& arguments) {
  started.push_back({path, arguments});
  return shell_result;
}

}  // namespace plov::testing
