#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "plov/core/install_host.h"
#include "tests/support/sandbox.h"

namespace plov::testing {

// A host whose files live in a sandbox and whose shell folders, shortcuts,
// registry, programs and boxes are recorded, so a test sees every step the
// installer takes. A shortcut is a file "name.lnk" holding "target|arguments".
class RecordingHost : public InstallHost {
 public:
  explicit RecordingHost(const marovine::testing::Sandbox& box);

  // Files of the package beside the installer "setup.exe".
  std::string WriteScript(const std::string& text);
  std::string PackageFile(const std::string& name, const std::string& content = "data");
  std::string Path(const std::string& name) const { return box_.Path(name); }

  // Answers and faults the test arranges.
  std::deque<bool> answers;  // Yes/No questions, No once they run out
  bool page_next = true;
  std::optional<OptionsChoice> options_answer;  // nothing: keep the proposal
  bool cancel_options = false;
  std::map<ShellFolder, bool> missing_folder;
  bool no_program_files = false;
  bool fail_shortcuts = false;
  bool fail_copies = false;
  bool refuse_restart_deletion = false;
  int shell_result = 42;

  // What happened.
  std::vector<MessageBoxRequest> messages;
  std::optional<OptionsRequest> options_shown;
  std::optional<std::string> page_shown;
  struct Started {
    std::string path, arguments;
  };
  std::vector<Started> started;
  std::vector<std::string> restart_deletions;
  bool restarted = false;
  int slept_ms = 0;

  // The registry: "HKLM\key\path" (lower case) -> values.
  std::map<std::string, std::map<std::string, std::string>> registry;
  static std::string KeyName(RegistryRoot root, const std::string& key);
  std::string Value(RegistryRoot root, const std::string& key, const std::string& name) const;
  // Keys whose deletion reports success but leaves them in place.
  std::vector<std::string> sticky_keys;

  PathStyle Paths() const override;
  std::string OwnPath() const override { return own_path_; }
  void SetOwnPath(std::string path) { own_path_ = std::move(path); }
  std::string TempFolder() const override;
  std::optional<std::string> SystemFolder() const override;
  std::optional<std::string> ProgramFilesFolder() const override;
  std::optional<std::string> SpecialFolder(ShellFolder folder) const override;

  void Show(const MessageBoxRequest& message) override { messages.push_back(message); }
  bool Ask(const MessageBoxRequest& question) override;
  bool ShowTextPage(const TextPageRequest& page) override;
  std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) override;

  bool CreateShortcut(const std::string& folder, const std::string& name, const std::string& target,
                      const std::string& arguments) override;
  bool DeleteShortcut(const std::string& folder, const std::string& name) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool DeleteFile(const std::string& path) override;
  bool ClearReadOnly(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::optional<std::string> ReadFile(const std::string& path, std::size_t limit) override;
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  bool DeleteAtRestart(const std::string& path) override;

  bool CreateKey(RegistryRoot root, const std::string& key) override;
  bool KeyExists(RegistryRoot root, const std::string& key) override;
  std::optional<std::string> ReadValue(RegistryRoot root, const std::string& key,
                                       const std::string& name) override;
  bool WriteValue(RegistryRoot root, const std::string& key, const std::string& name,
                  const std::string& value) override;
  std::optional<std::string> SubKeyAt(RegistryRoot root, const std::string& key,
                                      std::uint32_t index) override;
  bool DeleteKey(RegistryRoot root, const std::string& key) override;
  void FlushKey(RegistryRoot, const std::string&) override {}

  int OpenWithShell(const std::string& path, const std::string& arguments) override;
  void Sleep(int milliseconds) override { slept_ms += milliseconds; }
  bool RestartSystem() override {
    restarted = true;
    return true;
  }

 private:
  const marovine::testing::Sandbox& box_;
  std::string own_path_;
};

}  // namespace plov::testing
