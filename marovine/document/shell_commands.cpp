#include "marovine/document/shell_commands.h"

#include <cstdlib>

#include "marovine/document/marovine_doc.h"
#include "marovine/document/ui_services.h"
#include "marovine/engine/site_log_paths.h"
#include "platform/path.h"

namespace marovine {

namespace {

// The one row a single-item command acts on, or -1.
int SingleRow(const std::vector<int>& rows, std::size_t count) {
  if (rows.size() != 1 || rows[0] < 0 || static_cast<std::size_t>(rows[0]) >= count) return -1;
  return rows[0];
}

void OpenOrSay(UiServices& ui, const std::string& target) {
  if (target.empty() || !ui.ShellOpen(target)) ui.ShowMessage(kCannotShellOpen, MessageIcon::kNone);
}

// The guide in the user's language: Japanese unless the locale names
// another one.
std::string GuideName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string locale(value);
    if (locale == "C" || locale == "POSIX" || locale.starts_with("ja")) break;
    return "guide/index.en.html";
  }
  return "guide/index.ja.html";
}

}  // namespace

std::string LinkLogPath(const CMarovineDoc& doc, const std::string& link_url) {
  if (link_url.empty()) return platform::JoinPath(doc.paths.log_folder, "LogError.txt");
  return SiteDetailLogPath(doc.paths.log_folder, link_url);
}

void OpenLinkUrl(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows) {
  int row = SingleRow(link_rows, doc.link_items.size());
  if (row >= 0) (void)ui.ShellOpen(doc.link_items[row].url);
}

void OpenLinkFolder(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows) {
  int row = SingleRow(link_rows, doc.link_items.size());
  if (row >= 0) OpenOrSay(ui, platform::FolderOf(doc.link_items[row].folder));
}

void ShowLinkLog(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows) {
  int row = SingleRow(link_rows, doc.link_items.size());
  if (row < 0) return;
  // The crawl writes its log keys in batches; those waiting are shown too.
  doc.crawl().FlushLogWrites();
  if (!ui.ShellOpen(LinkLogPath(doc, doc.link_items[row].url))) {
    ui.ShowMessage(kCannotOpenLog, MessageIcon::kNone);
  }
}

void OpenDownloadFolder(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows) {
  int row = SingleRow(download_rows, doc.download_items.size());
  if (row >= 0) OpenOrSay(ui, platform::FolderOf(doc.download_items[row].local_path));
}

void OpenDownloadFile(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows) {
  int row = SingleRow(download_rows, doc.download_items.size());
  if (row >= 0) OpenOrSay(ui, doc.download_items[row].local_path);
}

void OpenDownloadUrl(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows) {
  int row = SingleRow(download_rows, doc.download_items.size());
  if (row >= 0) (void)ui.ShellOpen(doc.download_items[row].url);
}

void StartDropTool(UiServices& ui, const std::string& program_executable_folder) {
  if (!ui.StartProgram(platform::JoinPath(program_executable_folder, kDropToolName))) {
    ui.ShowMessage(kCannotShellOpen, MessageIcon::kNone);
  }
}

std::string FindHelpDocument(const std::string& program_executable_folder,
                             const std::string& name) {
  // A portable folder holds the documents beside the program (the guide in
  // "help/"); an installation under a prefix in share/doc/marovine.
  const std::string& exe = program_executable_folder;
  std::string flat = name.starts_with("guide/") ? "help/" + name.substr(6) : name;
  for (const std::string& candidate : {platform::JoinPath(exe, name), platform::JoinPath(exe, flat),
                                       platform::JoinPath(exe, "../share/doc/marovine/" + name)}) {
    if (platform::FileExists(candidate)) return candidate;
  }
  return {};
}

void OpenHelp(UiServices& ui, const std::string& program_executable_folder) {
  std::string path = FindHelpDocument(program_executable_folder, GuideName());
  if (path.empty()) path = FindHelpDocument(program_executable_folder, "guide/index.ja.html");
  OpenOrSay(ui, path);
}

void OpenReadMe(UiServices& ui, const std::string& program_executable_folder) {
  OpenOrSay(ui, FindHelpDocument(program_executable_folder, "readme.txt"));
}

void OpenHomePage(UiServices& ui) { OpenOrSay(ui, kHomePageUrl); }

}  // namespace marovine
