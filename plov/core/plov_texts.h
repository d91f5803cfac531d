#pragma once

#include <string>
#include <string_view>

namespace plov {

// Message numbers of the string table, for the places that name them.
enum PlovText : int {
  kTextScriptMissing = 1,
  kTextScriptInvalid = 2,
  kTextConfirmCancel = 3,
  kTextConfirmUninstall = 4,
  kTextReadFailed = 5,
  kTextNoMemory = 6,
  kTextFatal = 7,
  kTextShortcutFailed = 8,
  kTextRegistryOpenFailed = 9,
  kTextInstalled = 10,
  kTextFolderRemoveFailed = 11,
  kTextKeyDeleteFailed = 12,
  kTextUninstalled = 13,
  kTextRestartNow = 14,
  kTextContinueInstall = 15,
  kTextStopInstall = 16,
  kTextUninstallerStartFailed = 17,
  kTextStartFailed = 18,
  kTextWriteFailed = 19,
  kTextFolderHint = 20,
  kTextChooseFolder = 21,
  kTextNetworkFolder = 22,
  kTextCopyFailed = 23,
  kTextBadFolderCharacters = 24,
};

inline constexpr char kErrorCaption[] = "Error !";

// The texts of the dialogs that are not in the string table.
namespace dialog_text {
inline constexpr char kTextPageLabel[] = "作者からのドキュメントを表示しています :";
inline constexpr char kTextPageFont[] = "ＭＳ ゴシック";
inline constexpr char kNext[] = "次へ >";
inline constexpr char kCancel[] = "キャンセル";
inline constexpr char kOk[] = "OK";
inline constexpr char kGroupBox[] = "スタートメニューにプログラムグループを登録";
inline constexpr char kStartupBox[] = "スタートアップにプログラムを登録";
inline constexpr char kDesktopBox[] = "デスクトップにショートカットを登録";
inline constexpr char kOptionsFrame[] = "インストール時のオプション";
inline constexpr char kDescriptionFrame[] = "項目の説明";
inline constexpr char kFolderFrame[] = "インストール先ディレクトリ";
inline constexpr char kBrowse[] = "参照...";
}  // namespace dialog_text

// The string-table text of a message number (empty for an unknown number).
std::string_view TextOf(int number);

// A message as the user sees it: the text with `argument` in place of its
// "%s", and, when code is non-zero, a line break and "  (ErrorCode : code)".
std::string MessageText(int number, std::string_view argument = {}, int code = 0);

}  // namespace plov
