#pragma once

#include <string>

#include "plov/core/install_host.h"

namespace plov::win32 {

// The installer's host on the Win32 API: the registry, shell links through
// IShellLink, the shell's special folders, MoveFileEx for deletion at
// restart (wininit.ini where the system has no such facility), ShellExecute.
class Win32InstallHost : public InstallHost {
 public:
  explicit Win32InstallHost(UserDialogs& dialogs) : dialogs_(dialogs) {}

  // The test mode: a restart is reported instead of done. Started stages are
  // not waited for (a waiting first stage would keep its executable in use);
  // the test waits for the Wine session instead.
  void set_test_mode(bool on) { test_mode_ = on; }

  PathStyle Paths() const override { return {'\\', "/:,;\"<>|", 3, ".lnk"}; }
  std::string OwnPath() const override;
  std::string TempFolder() const override;
  std::optional<std::string> SystemFolder() const override;
  std::optional<std::string> ProgramFilesFolder() const override;
  std::optional<std::string> SpecialFolder(ShellFolder folder) const override;

  void Show(const MessageBoxRequest& message) override { dialogs_.Show(message); }
  bool Ask(const MessageBoxRequest& question) override { return dialogs_.Ask(question); }
  bool ShowTextPage(const TextPageRequest& page) override { return dialogs_.ShowTextPage(page); }
  std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) override {
    return dialogs_.ShowOptions(options);
  }

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
  void FlushKey(RegistryRoot root, const std::string& key) override;

  int OpenWithShell(const std::string& path, const std::string& arguments) override;
  void Sleep(int milliseconds) override;
  bool RestartSystem() override;

 private:
  UserDialogs& dialogs_;
  bool test_mode_ = false;
};

}  // namespace plov::win32
