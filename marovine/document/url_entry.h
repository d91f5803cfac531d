#pragma once

#include <optional>
#include <string>

namespace marovine {

class CMarovineDoc;
class UiServices;

// The document's side of the URL entry command, once its dialog has closed
// with OK. Crawl mode: the text of the one-field dialog; a URL the filters
// refuse may still be registered when the user answers Yes. Answers 1 when a
// link or download was added.
int EnterCrawlUrl(CMarovineDoc& doc, UiServices& ui, const std::string& url);

// Whole-site mode: URL, heading and root folder of its dialog. The heading
// names the site's folder below the root.
int EnterWholeSiteUrl(CMarovineDoc& doc, const std::string& url, const std::string& heading,
                      const std::string& root_folder);

// What the whole-site dialog ("丸ごとダウンロード用URL入力ダイアログ") shows and
// answers.
struct WholeSiteUrlEntry {
  std::string url;
  std::string heading;  // "見出し（わかりやすい名前をつけて下さい。）"
  std::string root_folder;
};

// The whole-site dialog filled from a mirror's "履歴.txt": its site and
// heading, and as root the folder that holds the mirror's folder. Nothing
// when the file names no site.
std::optional<WholeSiteUrlEntry> WholeSiteEntryFromHistory(const std::string& history_path);

// "URLの入力": the dialog of the default registration mode, then the entry
// above. Answers 1 when an item was added.
int UrlEntryCommand(CMarovineDoc& doc, UiServices& ui);

inline constexpr const char* kRegisterAnywayQuestion =
    "登録できません。オプションのURL登録で拡張子を指定してください。\n"
    "または、無視する文字列に登録されています。\nこのまま登録しますか？";

}  // namespace marovine
