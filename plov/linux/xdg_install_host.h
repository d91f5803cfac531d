#pragma once

#include <string>

#include "plov/core/install_host.h"
#include "plov/linux/key_store.h"

namespace plov::xdg {

// Where the Windows notions land for one user of a freedesktop system.
struct XdgFolders {
  std::string home;
  std::string data_home;    // $XDG_DATA_HOME, else ~/.local/share
  std::string config_home;  // $XDG_CONFIG_HOME, else ~/.config
  std::string desktop;      // XDG_DESKTOP_DIR, else ~/Desktop
  std::string temp;         // $XDG_RUNTIME_DIR (private to the user), else $TMPDIR, else /tmp

  static XdgFolders FromEnvironment();

  std::string Applications() const { return data_home + "/applications"; }
  std::string Autostart() const { return config_home + "/autostart"; }
  std::string ProgramFiles() const { return home + "/.local/opt"; }
  std::string PlovData() const { return data_home + "/plov"; }  // key store, uninstaller copies
  std::string MenuMerges() const { return config_home + "/menus/applications-merged"; }
  std::string MenuDirectories() const { return data_home + "/desktop-directories"; }
};

// The installer's host on Linux: the Programs group is a sub-menu of
// desktop entries under the applications folder (a .menu merge file makes it
// a folder of the menu), Startup is the autostart folder, the Desktop gets
// desktop entries, "Program Files" is ~/.local/opt, the registry is a key
// store file, and a deletion at restart is a one-shot autostart entry that
// removes the file at the next login. Boxes and dialogs go to `dialogs`.
class XdgInstallHost : public InstallHost {
 public:
  XdgInstallHost(XdgFolders folders, std::string own_path, UserDialogs& dialogs);

  // The test mode: programs the installer starts are waited for, so that a
  // chain of stages has ended when the first one returns, and a restart is
  // only reported on standard output, never done.
  void set_test_mode(bool on) { test_mode_ = on; }

  PathStyle Paths() const override;
  std::string OwnPath() const override { return own_path_; }
  std::string TempFolder() const override { return folders_.temp; }
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
  void FlushKey(RegistryRoot, const std::string&) override {}  // every change is on disk

  int OpenWithShell(const std::string& path, const std::string& arguments) override;
  void Sleep(int milliseconds) override;
  bool RestartSystem() override;

 private:
  static std::string StoreKey(RegistryRoot root, const std::string& key);
  // The menu name of a group folder directly below the applications folder.
  std::optional<std::string> GroupOf(const std::string& folder) const;
  std::string MenuFile(const std::string& group) const;
  std::string DirectoryFile(const std::string& group) const;
  bool WriteGroupMenu(const std::string& group);
  int Spawn(const std::vector<std::string>& argv);

  XdgFolders folders_;
  std::string own_path_;
  UserDialogs& dialogs_;
  KeyStore keys_;
  bool test_mode_ = false;
};

// The path of the running executable (/proc/self/exe).
std::string RunningExecutable();

}  // namespace plov::xdg
