#include "plov/core/plov_texts.h"

#include <array>

namespace plov {
namespace {

constexpr std::array<std::string_view, 25> kTable = {
    "",
    "セットアップ情報ファイル（%s）がディスク上に存在しないか，または内容が不正です。",
    "セットアップ情報ファイル（%s）の内容が不正です。",
    "インストールを中止します。よろしいですか？",
    "アンインストールを開始します。よろしいですか？",
    "%sの読込に失敗しました。",
    "メモリの確保に失敗しました。",
    "エラーが発生しました。強制終了します。",
    "ショートカットの作成に失敗しました。",
    "レジストリのオープンに失敗しました。",
    "インストールが完了しました。",
    "インストール先ディレクトリの削除に失敗しました。\n"
    "アンインストール終了後に手動で削除してください。",
    "レジストリキーの削除に失敗しました。\n"
    "該当するキーが実際にレジストリに存在するかどうかを確認してください。",
    "アンインストールが完了しました。",
    "システムを再起動すると，アンインストールは完了します。\n今すぐ再起動しますか？",
    "インストールを続行します。",
    "インストールを中止します。",
    "アンインストーラの起動に失敗しました。\n"
    "申し訳ありませんが，手動でアンインストールを実行してください。",
    "%sの起動に失敗しました。",
    "%sへの書き込みに失敗しました。",
    "インストール先のディレクトリを指定します。",
    "インストール先ディレクトリを指定してください。",
    "ネットワーク上のフォルダは指定できません。",
    "ファイル %sのコピーに失敗しました。",
    "ディレクトリ名に以下の記号は使用できません。\n \\ / : , ; \"\" < > |",
};

}  // namespace

std::string_view TextOf(int number) {
  if (number < 1 || number >= static_cast<int>(kTable.size())) return {};
  return kTable[static_cast<std::size_t>(number)];
}

std::string MessageText(int number, std::string_view argument, int code) {
  std::string text(TextOf(number));
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
  if (code != 0) text += "\n  (ErrorCode : " + std::to_string(code) + ")";
  return text;
}

}  // namespace plov
