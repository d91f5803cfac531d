#pragma once

#include <string>

namespace marovine {

class CMarovineDoc;
class CrawlHooks;
class UiServices;

// Registering URLs from files, the clipboard and history texts, and writing
// the lists out again. Every URL goes through RegisterUrl, which decides
// between link and download and applies the filters and duplicate checks.

// "ファイルからインポート": asks for a file and imports it as a URL list.
void ImportListFileCommand(CMarovineDoc& doc, UiServices& ui);
// Registers the URL of every line of a list file, in file order; answers how
// many were added, or -1 when the file cannot be read (after saying so).
int ImportListFile(CMarovineDoc& doc, UiServices& ui, const std::string& path);

// A file dropped on the window: a URL list, or a shortcut to one web page
// (an Internet shortcut ".url" with "URL=", or a ".desktop" entry of
// Type=Link). A shortcut registers its one URL and, when the settings ask for
// it, names a folder after itself for that site. Answers as ImportListFile.
int ImportDroppedListFile(CMarovineDoc& doc, UiServices& ui, const std::string& path);

// A dropped "履歴.txt" of a whole-site mirror: the mirrored site is listed
// again as a whole-site link whose folder is the history file's folder.
// False (after saying so) when the file names no site.
bool ImportSiteHistoryText(CMarovineDoc& doc, UiServices& ui, const std::string& path);

// "クリップボードから貼り付け": registers the URLs of the clipboard text after
// the paste sound and, when the settings ask for it, the user's Yes.
int PasteClipboard(CMarovineDoc& doc, UiServices& ui, CrawlHooks& hooks);

// The clipboard watch: once a tick, text not seen at the previous poll is
// pasted as by the paste command. One copy therefore registers once, even
// when its items are deleted again.
class ClipboardWatcher {
 public:
  int Poll(CMarovineDoc& doc, UiServices& ui, CrawlHooks& hooks);

 private:
  std::string last_seen_;
};

// "リストのエクスポート": asks for a file and writes the URL of every link
// (or download) item to it, one a line.
void ExportLinkListCommand(CMarovineDoc& doc, UiServices& ui);
void ExportDownloadListCommand(CMarovineDoc& doc, UiServices& ui);
// The same to a given file, replaced as a whole; false (after saying so)
// when it cannot be written.
bool ExportLinkList(CMarovineDoc& doc, UiServices& ui, const std::string& path);
bool ExportDownloadList(CMarovineDoc& doc, UiServices& ui, const std::string& path);

inline constexpr const char* kCannotOpenFile = "ファイルを開けません";
inline constexpr const char* kCannotCreateFile = "ファイルを開けません！";
inline constexpr const char* kPasteQuestion = "クリップボードのURLを貼り付けます。よろしいですか？";
inline constexpr const char* kImportFilter = "全ファイル(*.*)|*.*||";
inline constexpr const char* kExportFilter =
    "Lstファイル(*.lst)|*.lst|txtファイル(*.txt)|*.txt|All Files (*.*)|*.*||";
inline constexpr int kUrlPasteSound = 8;

}  // namespace marovine
