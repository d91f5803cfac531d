#pragma once

#include <string>
#include <vector>

namespace marovine {

class CMarovineDoc;
class UiServices;

// The commands that hand an item, a document or a program to the desktop.
// Those on one item act only when exactly one row is selected. A failed open
// says "開けません" unless noted.

// Link list: "URLを開く" (silent on failure), "フォルダを開く", "ログを表示".
void OpenLinkUrl(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows);
void OpenLinkFolder(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows);
void ShowLinkLog(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& link_rows);
// The site's log file that "ログを表示" opens.
std::string LinkLogPath(const CMarovineDoc& doc, const std::string& link_url);

// Download list: "フォルダを開く", "ファイルとして開く", "URLとして開く" (silent
// on failure).
void OpenDownloadFolder(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows);
void OpenDownloadFile(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows);
void OpenDownloadUrl(CMarovineDoc& doc, UiServices& ui, const std::vector<int>& download_rows);

// "tarqダイアログ": starts the drop tool that lies beside the program.
void StartDropTool(UiServices& ui, const std::string& program_executable_folder);
// "ヘルプを開く", "ReadMeを開く", the home page. The help documents are
// looked for beside the program (a portable folder) and where an
// installation puts them.
void OpenHelp(UiServices& ui, const std::string& program_executable_folder);
void OpenReadMe(UiServices& ui, const std::string& program_executable_folder);
void OpenHomePage(UiServices& ui);
// Where a help document lies, or empty: `name` is relative to the help
// folder ("guide/index.ja.html", "readme.txt").
std::string FindHelpDocument(const std::string& program_executable_folder, const std::string& name);

inline constexpr const char* kHomePageUrl = "https://marovine.example.org/";
inline constexpr const char* kDropToolName = "tarq";
inline constexpr const char* kCannotShellOpen = "開けません";
inline constexpr const char* kCannotOpenLog = "ログを開けませんでした。";

}  // namespace marovine
