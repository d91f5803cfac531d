#include "plov/core/uninstallation.h"

#include <array>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/profile.h"
#include "plov/core/plov_texts.h"
#include "plov/core/session.h"
#include "plov/core/setup_script.h"

namespace plov {
namespace {

int StartFirstStage(Session& session) {
  InstallHost& host = session.host();
  const auto& own = session.own();
  platform::Profile script(own.script);
  std::string title = script.GetString("Uninstall", "Title", "", kShortText);
  if (title.empty()) return session.Fail(kTextScriptMissing, own.script);
  session.set_caption(title);
  if (!session.Confirm(kTextConfirmUninstall)) return kExitCancelled;
  std::string key = script.GetString("Uninstall", "Key", "", kShortText);
  const auto machine = RegistryRoot::kLocalMachine;
  if (!host.KeyExists(machine, kUninstallRoot)) {
    return session.Fail(kTextRegistryOpenFailed, {}, 2201);
  }
  // The registration goes only once the second stage is ready to run, so a
  // failure before that leaves the program in the list of installed ones.
  if (!script.WriteString("Uninstall", "Dir", own.folder_bare)) {
    return session.Fail(kTextWriteFailed, own.script, 2202);
  }
  auto system = host.SystemFolder();
  std::string script_copy = session.Join(system.value_or(""), kUninstallScriptName);
  if (!system || !host.CopyFile(own.script, script_copy)) {
    return session.Fail(kTextWriteFailed, script_copy, 2203);
  }
  session.Note("file " + script_copy);
  std::string program_copy = session.Join(*system, kUninstallerName);
  if (!host.CopyFile(own.path, program_copy)) {
    return session.Fail(kTextWriteFailed, program_copy, 2204);
  }
  session.Note("file " + program_copy);
  // An empty Key would name the Uninstall key itself.
  if (!key.empty()) {
    host.DeleteKey(machine, std::string(kUninstallRoot) + "\\" + key);
    host.FlushKey(machine, kUninstallRoot);
  }
  int result = host.OpenWithShell(program_copy, "/u");
  if (result <= 32) return session.Fail(kTextUninstallerStartFailed, {}, result);
  return kExitDone;
}

struct UninstallScript {
  std::string title, group_name, dir;
  int all_delete = 0;
  std::array<int, 3> values{};
  std::array<std::vector<ShortcutItem>, 3> shortcuts;
  std::vector<std::string> files;
  std::vector<RegistryPath> keys;
};

bool ReadUninstallScript(const platform::Profile& script, UninstallScript& s) {
  s.title = script.GetString("Uninstall", "Title", "", kShortText);
  s.group_name = script.GetString("Group", "GroupName", "", kShortText);
  s.all_delete = script.GetInt("Uninstall", "AllDelete", 0);
  s.dir = script.GetString("Uninstall", "Dir", "", kLongText);
  if (!s.group_name.empty() && !IsContainedRelativePath(s.group_name)) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    s.values[i] = script.GetInt(kShortcutSections[i].section, "Value", -1);
    for (const auto& text : ReadItems(script, kShortcutSections[i].section)) {
      auto item = ParseShortcutItem(text);
      if (!item) return false;
      s.shortcuts[i].push_back(std::move(*item));
    }
  }
  s.files = ReadItems(script, "Files");
  for (const auto& file : s.files) {
    if (!IsContainedRelativePath(file)) return false;
  }
  for (const auto& text : ReadItems(script, "RegKey")) {
    auto key = ParseRegistryPath(text);
    if (!key) return false;
    s.keys.push_back(std::move(*key));
  }
  return true;
}

// A folder whose whole content may be deleted: named, and more than a root.
bool IsDeletableFolder(const std::string& dir, const PathStyle& style) {
  std::size_t parts = 0;
  bool in_part = false;
  for (std::size_t at = 0; at < dir.size(); ++at) {
    bool separator = dir[at] == style.separator;
    if (!separator && !in_part) ++parts;
    in_part = !separator;
  }
  bool drive = dir.size() >= 2 && dir[1] == ':';
  return parts >= (drive ? 2u : 1u);
}

void DeleteContents(Session& session, const std::string& folder, bool with_subfolders) {
  InstallHost& host = session.host();
  for (const auto& entry : host.ListFolder(folder)) {
    std::string path = session.Join(folder, entry.name);
    if (entry.is_folder) {
      if (!with_subfolders) continue;
      DeleteContents(session, path, true);
      host.RemoveFolder(path);
    } else {
      if (entry.read_only) host.ClearReadOnly(path);
      host.DeleteFile(path);
    }
  }
}

int RunSecondStage(Session& session) {
  InstallHost& host = session.host();
  const auto& own = session.own();
  platform::Profile script(own.script);
  UninstallScript s;
  bool valid = ReadUninstallScript(script, s);
  if (s.title.empty()) return session.Fail(kTextScriptMissing, own.script);
  // Without a real folder the deletion below would reach whatever the empty
  // or root path means; the script is then not one the first stage wrote.
  if (!valid || !IsDeletableFolder(s.dir, session.style())) {
    return session.Fail(kTextScriptInvalid, own.script);
  }
  session.set_caption(s.title);
  host.Sleep(2000);  // the first stage ends meanwhile

  for (std::size_t i = 0; i < 3; ++i) {
    if (s.values[i] == -1) continue;
    bool programs = kShortcutSections[i].folder == ShellFolder::kPrograms;
    auto folder = host.SpecialFolder(kShortcutSections[i].folder);
    if (!folder) return session.Fail(kTextFatal, {}, programs ? 2211 : 2212);
    bool group = programs && !s.group_name.empty();
    if (group) *folder = session.Join(*folder, s.group_name);
    for (const auto& item : s.shortcuts[i]) {
      if (host.DeleteShortcut(*folder, item.name)) session.Note("removed shortcut " + item.name);
    }
    if (group) host.RemoveFolder(*folder);
  }

  if (s.all_delete == 0) {
    for (const auto& item : s.files) host.DeleteFile(session.Join(s.dir, item));
  } else {
    DeleteContents(session, s.dir, s.all_delete == 2);
  }
  session.Note("removed files of " + s.dir);
  if (!host.RemoveFolder(s.dir)) session.Inform(kTextFolderRemoveFailed, MessageKind::kWarning);

  for (const auto& key : s.keys) {
    if (int code = DeleteKeyTree(host, key.root, key.key)) {
      return session.Fail(kTextKeyDeleteFailed, {}, code);
    }
    session.Note("removed registry key " + key.key);
  }

  host.DeleteFile(own.script);
  if (!host.DeleteAtRestart(own.path)) return session.Fail(kTextNoMemory, {}, 2221);
  session.Inform(kTextUninstalled);
  if (session.Confirm(kTextRestartNow)) host.RestartSystem();
  return kExitDone;
}

}  // namespace

int RunUninstallStart(InstallHost& host) {
  Session session(host, "plov-uninstall.log");
  return StartFirstStage(session);
}

int RunUninstallProper(InstallHost& host) {
  Session session(host, "plov-uninstall.log");
  return RunSecondStage(session);
}

int DeleteKeyTree(InstallHost& host, RegistryRoot root, const std::string& key) {
  if (!host.KeyExists(root, key)) return 2231;
  std::uint32_t index = 0;
  bool moved = false;
  std::string previous;
  while (auto name = host.SubKeyAt(root, key, index)) {
    // A sub-key that is still there after its deletion is passed over.
    if (!previous.empty() && platform::EqualsIgnoreCase(*name, previous)) {
      ++index;
      moved = true;
      continue;
    }
    if (int code = DeleteKeyTree(host, root, key + "\\" + *name)) return code;
    previous = *name;
  }
  if (moved) host.FlushKey(root, key);
  return host.DeleteKey(root, key) ? 0 : 2232;
}

}  // namespace plov
