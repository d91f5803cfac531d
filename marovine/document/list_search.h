#pragma once

#include <string>

namespace marovine {

class CMarovineDoc;
class UiServices;

// What the search dialog ("検索") asks for; the document keeps it for its
// whole life, so the dialog reopens with the last values.
struct SearchSettings {
  std::string text;
  bool links = false;          // "リンクリスト"
  bool link_url = false;       // "URL"
  bool link_title = false;     // "タイトル"
  bool link_folder = false;    // "保存パス名"
  bool link_random = false;    // "乱数": the text as a number equals the link's
  bool downloads = false;      // "ダウンリスト"
  bool download_url = false;   // "URL"
  bool download_path = false;  // "保存パス名"
};

// What the replace dialog asks for: the first occurrence of `from` in each
// chosen field becomes `to`.
struct ReplaceRequest {
  std::string from;            // "変換前の文字列"
  std::string to;              // "変換後の文字列"
  bool links = false;          // "リンクリスト"
  bool link_url = false;       // "URL"
  bool link_folder = false;    // "格納フォルダ"
  bool downloads = false;      // "ダウンリスト"
  bool download_url = false;   // "URL"
  bool download_path = false;  // "ファイルパス名"
};

// The search of a document: its settings and where the next search starts in
// each list. Matches are case-sensitive substrings; every link match comes
// before the first download match.
class ListSearch {
 public:
  // "検索": the dialog, and on OK the first match.
  void SearchCommand(CMarovineDoc& doc, UiServices& ui);
  // "次を検索": the next match is brought into view; true when one was found.
  // When none is left the user may start again from the top.
  bool FindNext(CMarovineDoc& doc, UiServices& ui);

  SearchSettings settings;
  int next_link = 0;
  int next_download = 0;
};

// "文字列置換": the dialog, and on OK the replacement.
void ReplaceCommand(CMarovineDoc& doc, UiServices& ui);
// Answers how many fields changed. A saved path is changed only where the
// new path stays inside the folder the old one lay in, so a replacement
// never sends a file outside its target folder.
int ReplaceInLists(CMarovineDoc& doc, const ReplaceRequest& request);

inline constexpr const char* kSearchEndQuestion = "検索が終了しました。次回始めから検索しますか？";

}  // namespace marovine
