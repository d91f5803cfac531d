#pragma once

// What the drop tool says to its user. The wording is the one users of the
// original tool know; keep it byte for byte.
namespace marovine::tarq::texts {

inline constexpr char kDialogTitle[] = "Marovine Dislike File or Text";
// Message boxes carry the program's name, as the original's did.
inline constexpr char kMessageCaption[] = "tarq";
inline constexpr char kPrompt[] = "まろびねにダウンロードさせたくないファイルをドロップして下さい｡";
inline constexpr char kTopmost[] = "常に前面に表示";
inline constexpr char kLeftEdge[] = "左端";
inline constexpr char kDeleteAfterDrop[] = "ドロップ後に削除";
inline constexpr char kOpenElsewhere[] = "今,他のアプリケーションで開いているファイルを";
inline constexpr char kBrowseFolder[] = "フォルダ参照";
inline constexpr char kNeverDownload[] = "今後まろびねでダウンロードしない";
inline constexpr char kAlsoDelete[] = "ついでに削除";
inline constexpr char kChooseFolder[] = "フォルダの選択";

inline constexpr char kNotBesideMainProgram[] = "Marovine Ver.3のあるフォルダに入れてください！！";
inline constexpr char kNoFileInTitles[] =
    "ファイルが見つかりません。アプリケーションが開いているか確認してください。";
inline constexpr char kNoSearchFolder[] =
    "ファイルのパスが無いかもしれません。\nフォルダを設定してください。";
inline constexpr char kCannotOpenFile[] =
    "ファイルを開けません。開くアプリケーションを変えてみてください。\nまたは、フォルダの設定が間違"
    "っています。";
inline constexpr char kCannotWriteList[] = "に書き込めません。";
inline constexpr char kCannotDelete[] = "削除できません。";

// Status-text endings after a path or a name.
inline constexpr char kDropProcessed[] = "を処理。";
inline constexpr char kFolderSet[] = "にフォルダを設定";
inline constexpr char kTitleProcessed[] = "処理。";
inline constexpr char kAlsoDeleted[] = "ついでに削除。";

}  // namespace marovine::tarq::texts
