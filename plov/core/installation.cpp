#include "plov/core/installation.h"

#include <array>
#include <optional>
#include <vector>

#include "platform/profile.h"
#include "platform/text_encoding.h"
#include "plov/core/plov_texts.h"
#include "plov/core/session.h"
#include "plov/core/setup_script.h"

namespace plov {
namespace {

constexpr std::size_t kTextPageLimit = 32768;

enum class CopyMode { kNone, kCopy, kMove };

struct Offer {
  int value = -1;
  std::string info;
  std::vector<ShortcutItem> items;
};

// Everything the script says, read and checked before anything changes.
struct InstallScript {
  std::string title, text_file, program, install_dir, install_dir_reg, group_name;
  int file_del_after = 1;
  std::array<Offer, 3> offers;
  std::vector<std::string> files;
  std::string uninstall_key, uninstall_name;
};

bool ReadShortcutItems(const platform::Profile& script, const char* section,
                       std::vector<ShortcutItem>& items) {
  for (const auto& text : ReadItems(script, section)) {
    auto item = ParseShortcutItem(text);
    if (!item) return false;
    items.push_back(std::move(*item));
  }
  return true;
}

// Reads the script; false when it is invalid.
bool ReadInstallScript(const platform::Profile& script, InstallScript& s) {
  s.title = script.GetString("Install", "Title", "", kShortText);
  s.text_file = script.GetString("Install", "TextFile", "", kLongText);
  s.program = script.GetString("Install", "Program", "", kLongText);
  s.install_dir = script.GetString("Install", "InstallDir", "", kShortText);
  s.install_dir_reg = script.GetString("Install", "InstallDirReg", "", kShortText);
  s.file_del_after = script.GetInt("Install", "IsFileDelAfterPlov", 1);
  s.group_name = script.GetString("Group", "GroupName", "", kShortText);
  if (!s.group_name.empty() && !IsContainedRelativePath(s.group_name)) return false;
  for (std::size_t i = 0; i < s.offers.size(); ++i) {
    const char* section = kShortcutSections[i].section;
    s.offers[i].value = script.GetInt(section, "Value", -1);
    s.offers[i].info = script.GetString(section, "Info", "", kLongText);
    if (!ReadShortcutItems(script, section, s.offers[i].items)) return false;
  }
  s.files = ReadItems(script, "Files");
  for (const auto& file : s.files) {
    if (!IsContainedRelativePath(file)) return false;
  }
  s.uninstall_key = script.GetString("Uninstall", "Key", "", kShortText);
  s.uninstall_name = script.GetString("Uninstall", "Name", "", kShortText);
  return true;
}

class Installation {
 public:
  explicit Installation(InstallHost& host) : session_(host, "plov-install.log") {}

  int Run();

 private:
  InstallHost& host() { return session_.host(); }
  int ProposeFolder();
  int ShowTextPage();
  int ShowOptions();
  int MakeShortcuts();
  int CopyFiles();
  int Register();
  int Finish();

  Session session_;
  InstallScript script_;
  CopyMode mode_ = CopyMode::kNone;
  std::string folder_;
  std::array<bool, 3> chosen_{};
};

int Installation::Run() {
  const auto& own = session_.own();
  platform::Profile script(own.script);
  bool valid = ReadInstallScript(script, script_);
  if (script_.title.empty()) return session_.Fail(kTextScriptMissing, own.script);
  if (!valid) return session_.Fail(kTextScriptInvalid, own.script);
  session_.set_caption(script_.title);
  for (auto step : {&Installation::ProposeFolder, &Installation::ShowTextPage,
                    &Installation::ShowOptions, &Installation::MakeShortcuts,
                    &Installation::CopyFiles, &Installation::Register, &Installation::Finish}) {
    if (int code = (this->*step)(); code != kExitDone) return code;
  }
  return kExitDone;
}

int Installation::ProposeFolder() {
  if (script_.install_dir.empty()) {
    mode_ = CopyMode::kNone;
    folder_ = session_.own().folder_bare;
    return kExitDone;
  }
  mode_ = script_.file_del_after == 1 ? CopyMode::kMove : CopyMode::kCopy;
  if (!script_.install_dir_reg.empty()) {
    auto reg = ParseRegistryPath(script_.install_dir_reg);
    if (!reg) return session_.Fail(kTextScriptInvalid, session_.own().script);
    if (host().KeyExists(reg->root, reg->key)) {
      // An earlier installation is reused.
      folder_ = host().ReadValue(reg->root, reg->key, "InstallDir").value_or("");
    }
  }
  if (folder_.empty()) {
    auto program_files = host().ProgramFilesFolder();
    if (!program_files) return session_.Fail(kTextRegistryOpenFailed, {}, 2101);
    folder_ = session_.Join(*program_files, script_.install_dir);
  }
  return kExitDone;
}

int Installation::ShowTextPage() {
  if (script_.text_file.empty()) return kExitDone;
  std::string path = session_.own().folder + script_.text_file;
  auto text = host().ReadFile(path, kTextPageLimit);
  if (!text) return session_.Fail(kTextReadFailed, path, 2302);
  TextPageRequest page{script_.title, platform::LegacyToUtf8(*text),
                       [this] { return session_.Confirm(kTextConfirmCancel); }};
  return host().ShowTextPage(page) ? kExitDone : kExitCancelled;
}

int Installation::ShowOptions() {
  OptionsRequest request;
  request.caption = script_.title;
  ShortcutOffer* offers[] = {&request.group, &request.startup, &request.desktop};
  for (std::size_t i = 0; i < 3; ++i) {
    offers[i]->enabled = script_.offers[i].value != -1;
    offers[i]->checked = offers[i]->enabled && script_.offers[i].value != 0;
    offers[i]->info = script_.offers[i].info;
  }
  request.with_folder = mode_ != CopyMode::kNone;
  request.folder = folder_;
  PathStyle style = session_.style();
  request.folder_problem = [style](const std::string& folder) {
    return InstallFolderProblem(folder, style);
  };
  request.is_network_folder = [style](const std::string& folder) {
    return IsNetworkFolder(folder, style);
  };
  request.confirm_cancel = [this] { return session_.Confirm(kTextConfirmCancel); };
  auto choice = host().ShowOptions(request);
  if (!choice) return kExitCancelled;
  chosen_ = {offers[0]->enabled && choice->group, offers[1]->enabled && choice->startup,
             offers[2]->enabled && choice->desktop};
  if (mode_ != CopyMode::kNone) {
    // The dialog checks the folder too; a host that does not is not trusted.
    if (int problem = InstallFolderProblem(choice->folder, style)) return session_.Fail(problem);
    folder_ = choice->folder;
  }
  return kExitDone;
}

int Installation::MakeShortcuts() {
  for (std::size_t i = 0; i < 3; ++i) {
    if (!chosen_[i]) continue;
    bool programs = kShortcutSections[i].folder == ShellFolder::kPrograms;
    auto folder = host().SpecialFolder(kShortcutSections[i].folder);
    if (!folder) return session_.Fail(kTextShortcutFailed, {}, programs ? 2111 : 2113);
    if (programs && !script_.group_name.empty()) {
      *folder = session_.Join(*folder, script_.group_name);
      if (host().CreateFolder(*folder)) session_.Note("folder " + *folder);
    }
    for (const auto& item : script_.offers[i].items) {
      if (!host().CreateShortcut(*folder, item.name, session_.Join(folder_, item.target),
                                 item.arguments)) {
        return session_.Fail(kTextShortcutFailed, {}, programs ? 2112 : 2114);
      }
      session_.Note("shortcut " +
                    session_.Join(*folder, item.name + session_.style().shortcut_extension));
    }
  }
  return kExitDone;
}

int Installation::CopyFiles() {
  if (mode_ == CopyMode::kNone) return kExitDone;
  const char separator = session_.separator();
  std::size_t first = std::max<std::size_t>(1, session_.style().checked_from);
  for (std::size_t at = first; at < folder_.size(); ++at) {
    if (folder_[at] == separator) host().CreateFolder(folder_.substr(0, at));
  }
  host().CreateFolder(folder_);
  session_.Note("folder " + folder_);
  const auto& own = session_.own();
  for (const auto& item : script_.files) {
    std::string from = own.folder + item;
    std::string to = session_.Join(folder_, item);
    // Installing into the installer's own folder leaves the files where they
    // are; copying a file onto itself and deleting the "source" would lose it.
    if (host().SameFile(from, to)) continue;
    if (!host().CopyFile(from, to)) return session_.Fail(kTextCopyFailed, item);
    session_.Note("file " + to);
    if (mode_ == CopyMode::kMove && host().DeleteFile(from)) session_.Note("moved from " + from);
  }
  if (mode_ == CopyMode::kMove &&
      !host().SameFile(own.path, session_.Join(folder_, own.file_name))) {
    platform::Profile clean_up(session_.Join(host().TempFolder(), kCleanUpFileName));
    if (clean_up.WriteString("Install", "DelFile", own.path)) {
      session_.Note("clean-up note " + clean_up.path());
    }
  }
  return kExitDone;
}

int Installation::Register() {
  if (mode_ != CopyMode::kNone && !script_.install_dir_reg.empty()) {
    auto reg = ParseRegistryPath(script_.install_dir_reg);
    if (!reg || !host().CreateKey(reg->root, reg->key) ||
        !host().WriteValue(reg->root, reg->key, "InstallDir", folder_)) {
      return session_.Fail(kTextRegistryOpenFailed, {}, 2115);
    }
    session_.Note("registry value " + script_.install_dir_reg + "\\InstallDir");
  }
  if (!script_.uninstall_key.empty()) {
    std::string key = std::string(kUninstallRoot) + "\\" + script_.uninstall_key;
    const auto root = RegistryRoot::kLocalMachine;
    if (!host().CreateKey(root, key)) return session_.Fail(kTextRegistryOpenFailed, {}, 2116);
    session_.Note("registry key HKEY_LOCAL_MACHINE\\" + key);
    std::string uninstaller = mode_ != CopyMode::kNone
                                  ? session_.Join(folder_, session_.own().file_name)
                                  : session_.own().path;
    if (!host().WriteValue(root, key, "DisplayName", script_.uninstall_name) ||
        !host().WriteValue(root, key, "UninstallString", UninstallCommand(uninstaller))) {
      return session_.Fail(kTextRegistryOpenFailed, {}, 2116);
    }
  }
  return kExitDone;
}

int Installation::Finish() {
  session_.Inform(kTextInstalled);
  if (!script_.program.empty()) {
    std::string program = session_.Join(folder_, script_.program);
    int result = host().OpenWithShell(program, "");
    if (result <= 32) return session_.Fail(kTextStartFailed, program, result);
  }
  if (mode_ != CopyMode::kNone) {
    std::string installed = session_.Join(folder_, session_.own().file_name);
    int result = host().OpenWithShell(installed, "/d");
    if (result <= 32) return session_.Fail(kTextStartFailed, installed, result);
  }
  return kExitDone;
}

}  // namespace

int InstallFolderProblem(const std::string& folder, const PathStyle& style) {
  if (folder.empty() || folder.back() == style.separator || folder.size() > kLongText) {
    return kTextChooseFolder;
  }
  for (std::size_t at = style.checked_from; at < folder.size(); ++at) {
    if (style.forbidden.find(folder[at]) != std::string::npos) return kTextBadFolderCharacters;
  }
  return 0;
}

bool IsNetworkFolder(const std::string& folder, const PathStyle& style) {
  return folder.size() >= 2 && folder[0] == style.separator && folder[1] == style.separator;
}

std::string UninstallCommand(const std::string& uninstaller) {
  if (uninstaller.find(' ') != std::string::npos) return "\"" + uninstaller + "\" /r";
  return uninstaller + " /r";
}

int RunInstallation(InstallHost& host) { return Installation(host).Run(); }

int RunCleanUp(InstallHost& host) {
  Session session(host, "plov-cleanup.log");
  const auto& own = session.own();
  host.Sleep(500);  // the installer that started us ends meanwhile
  // The installed copy must not copy files again when it is run once more.
  // Unwritten, a later run of the installed copy only offers to install again.
  (void)platform::Profile(own.script).WriteString("Install", "InstallDir", "");
  std::string note_path = session.Join(host.TempFolder(), kCleanUpFileName);
  platform::Profile note(note_path);
  std::string first_installer = note.GetString("Install", "DelFile", "", kLongText);
  if (!first_installer.empty()) {
    if (!host.SameFile(first_installer, own.path)) host.DeleteFile(first_installer);
    host.DeleteFile(note_path);
  }
  return kExitDone;
}

}  // namespace plov
