#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plov {

// The two registry roots a setup script may name.
enum class RegistryRoot { kCurrentUser, kLocalMachine };

// The shell folders shortcuts go into.
enum class ShellFolder { kPrograms, kStartup, kDesktop };

enum class MessageKind { kInformation, kWarning, kError, kQuestion };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageKind kind = MessageKind::kInformation;
};

// The page that shows the author's document before installation. The
// dialog calls confirm_cancel when the user cancels and stays open when it
// answers false.
struct TextPageRequest {
  std::string caption;
  std::string text;
  std::function<bool()> confirm_cancel;
};

// One of the three shortcut offers (start menu group, startup, desktop).
struct ShortcutOffer {
  bool enabled = false;
  bool checked = false;
  std::string info;  // shown while the box has the focus
};

struct OptionsRequest {
  std::string caption;
  ShortcutOffer group, startup, desktop;
  bool with_folder = false;  // the folder frame is shown only when files are copied
  std::string folder;
  // Answers the message number that refuses a typed folder, or 0 when it is
  // acceptable; the dialog shows the message and keeps the user in the box.
  std::function<int(const std::string&)> folder_problem;
  // True when a folder picked in the browser lies on the network (refused).
  std::function<bool(const std::string&)> is_network_folder;
  std::function<bool()> confirm_cancel;
};

struct OptionsChoice {
  bool group = false;
  bool startup = false;
  bool desktop = false;
  std::string folder;
};

// How paths are spelled on the host.
struct PathStyle {
  char separator = '/';
  // Characters that may not stand in an installation folder, checked from
  // position `checked_from` on (a drive part such as "C:\" is skipped).
  std::string forbidden;
  std::size_t checked_from = 0;
  std::string shortcut_extension;  // ".lnk", ".desktop"
};

struct FolderEntry {
  std::string name;
  bool is_folder = false;
  bool read_only = false;
};

// The boxes and dialogs the user answers. Ask answers true for Yes.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  virtual void Show(const MessageBoxRequest& message) = 0;
  virtual bool Ask(const MessageBoxRequest& question) = 0;
  // False when the user ended the page with Cancel (and confirmed).
  virtual bool ShowTextPage(const TextPageRequest& page) = 0;
  virtual std::optional<OptionsChoice> ShowOptions(const OptionsRequest& options) = 0;
};

// Everything the installer needs from the system and the user. The core
// never calls the operating system itself, so it runs the same on Windows,
// on Linux and against a recording host in tests.
class InstallHost : public UserDialogs {
 public:
  virtual PathStyle Paths() const = 0;
  virtual std::string OwnPath() const = 0;  // full path of the running executable
  virtual std::string TempFolder() const = 0;
  // Where the first uninstall stage leaves its copies ("Windows folder").
  virtual std::optional<std::string> SystemFolder() const = 0;
  virtual std::optional<std::string> ProgramFilesFolder() const = 0;
  virtual std::optional<std::string> SpecialFolder(ShellFolder folder) const = 0;

  // Shortcuts: folder + name + extension, pointing at target with arguments.
  virtual bool CreateShortcut(const std::string& folder, const std::string& name,
                              const std::string& target, const std::string& arguments) = 0;
  virtual bool DeleteShortcut(const std::string& folder, const std::string& name) = 0;

  // Files and folders.
  virtual bool CreateFolder(const std::string& path) = 0;  // true when it exists afterwards
  virtual bool RemoveFolder(const std::string& path) = 0;  // only an empty folder goes
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;  // replaces
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool ClearReadOnly(const std::string& path) = 0;
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path, std::size_t limit) = 0;
  virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
  // Arranges for the file to disappear at the next restart.
  virtual bool DeleteAtRestart(const std::string& path) = 0;

  // Registry keys. Key paths use backslashes between their parts.
  virtual bool CreateKey(RegistryRoot root, const std::string& key) = 0;
  virtual bool KeyExists(RegistryRoot root, const std::string& key) = 0;
  virtual std::optional<std::string> ReadValue(RegistryRoot root, const std::string& key,
                                               const std::string& name) = 0;
  virtual bool WriteValue(RegistryRoot root, const std::string& key, const std::string& name,
                          const std::string& value) = 0;
  // The name of the sub-key at index, or nothing past the end.
  virtual std::optional<std::string> SubKeyAt(RegistryRoot root, const std::string& key,
                                              std::uint32_t index) = 0;
  // Deletes a key that has no sub-keys.
  virtual bool DeleteKey(RegistryRoot root, const std::string& key) = 0;
  virtual void FlushKey(RegistryRoot root, const std::string& key) = 0;

  // Programs. OpenWithShell answers the shell's result (above 32 = started).
  virtual int OpenWithShell(const std::string& path, const std::string& arguments) = 0;
  virtual void Sleep(int milliseconds) = 0;
  virtual bool RestartSystem() = 0;
};

}  // namespace plov
